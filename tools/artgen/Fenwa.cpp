// Fenwa: a slender green gecko that walks upright, with golden eyes and a long curling tail.
#include "tools/artgen/Sprites.h"

namespace artgen {
namespace {

// G green, g green shade, H green highlight, Y pale belly, y belly shade, A golden eye,
// D dark stripe.
const PixelMap kHeadFront = PixelMap::Symmetric({
    "..GGG..",
    ".GAAAGG",
    "GAAOAGG",
    "GAAOAGH",
    "GGAAAGG",
    "GGGGGGG",
    "GGGGGGG",
    ".GgGGGG",
    ".GgG#GG",
    "..ggG##",
    "...gggg",
});

const PixelMap kHeadBack = PixelMap::Symmetric({
    "..GGG..",
    ".GGGGGG",
    "GGGGHGG",
    "GGGGGGD",
    "GGGGGGD",
    "GGGGGGD",
    "GGGGGGG",
    ".GgGGGD",
    ".GgGGGD",
    "..ggGGG",
    "...gggg",
});

const PixelMap kTorsoFront = PixelMap::Symmetric({
    "..GG",
    ".GGG",
    "GGYY",
    "GGYY",
    "GGYY",
    "GGYY",
    "gGYY",
    "gGYy",
    ".gGG",
    ".ggg",
});

const PixelMap kTorsoBack = PixelMap::Symmetric({
    "..GG",
    ".GGD",
    "GGGD",
    "GGGD",
    "GGGG",
    "GGGD",
    "gGGD",
    "gGGD",
    ".gGG",
    ".ggg",
});

const PixelMap kArm = {
    "GG",
    "GG",
    "GG",
    "Gg",
    "Gg",
    "gg",
    "GG",
};

const PixelMap kLeg = {
    "GG.",
    "GG.",
    "Gg.",
    "Gg.",
    "Gg.",
    "gg.",
    "GGG",
};

const PixelMap kLegUp = {
    "GG.",
    "Gg.",
    "Gg.",
    "gg.",
    "GGG",
};

const PixelMap kTailFront = {
    "....GG",
    "...GGg",
    "...Gg.",
    "..GGg.",
    "GGGg..",
    "ggg...",
};

const PixelMap kTailBack = {
    "GG.......",
    "GD.......",
    ".GD......",
    ".GG......",
    "..GDG..GG",
    "...GGGGGg",
    "....gggg.",
};

// Facing left.
const PixelMap kHeadSide = {
    "......GGG..",
    ".....GAAAG.",
    "....GAOOAGG",
    "..GGGAOOAGG",
    ".GGGGGAAGGG",
    "GGGGGGGGGGG",
    "GGGGGGGGGGG",
    "#GGGGGGGGGg",
    ".##YYGGGGg.",
    "...yyygggg.",
};

const PixelMap kTorsoSide = {
    ".GGGG.",
    "YGGGGG",
    "YYGGGG",
    "YYGGGG",
    "YYGGGD",
    "YYGGGG",
    "YyGGGD",
    "yyGGGG",
    ".ggGGG",
    "..ggg.",
};

const PixelMap kTailSide = {
    ".........GG",
    "........GGg",
    "........Gg.",
    ".......GGg.",
    "GG...GGGg..",
    "GGGGGGgg...",
    ".gggggg....",
};

const PixelMap kLegSide[3] = {
    {   // forward
        "..GG",
        ".GGg",
        ".Gg.",
        "GGg.",
        "Gg..",
        "Gg..",
        "GGG.",
    },
    {   // under the body
        "GG",
        "GG",
        "Gg",
        "Gg",
        "Gg",
        "gg",
        "GGG",
    },
    {   // back
        "GG..",
        "GGg.",
        ".Gg.",
        ".GGg",
        "..Gg",
        "..Gg",
        ".GGG",
    },
};

const PixelMap kLegSideUp = {
    "GGg.",
    ".GGg",
    ".GGg",
    "GGg.",
    "GGG.",
};

const PixelMap kArmSide[2] = {
    {
        "GG",
        "Gg",
        "Gg.",
        "gG.",
        ".GG",
    },
    {
        ".GG",
        ".Gg",
        "Gg",
        "Gg",
        "GG",
    },
};

constexpr int kBob[4] = {0, -1, 0, -1};

void Draw(Sprite& s, Facing facing, int step) {
    const int bob = kBob[step];
    s.Shadow(11, 33, 18, 6);
    switch (facing) {
    case Facing::Down:
    case Facing::Up: {
        bool front = facing == Facing::Down;
        bool leftUp = step == 1, rightUp = step == 3;
        if (front) s.Stamp(kTailFront, 24, 28 + bob);
        s.Stamp(leftUp ? kLegUp : kLeg, 16, leftUp ? 28 : 28);
        s.Stamp(rightUp ? kLegUp : kLeg, 22, rightUp ? 28 : 28, true, true);
        s.Stamp(kArm, 13, 18 + bob + (step == 3 ? 1 : 0));
        s.Stamp(kArm, 25, 18 + bob + (step == 1 ? 1 : 0), true, true);
        s.Stamp(front ? kTorsoFront : kTorsoBack, 16, 16 + bob);
        s.Stamp(front ? kHeadFront : kHeadBack, 13, 5 + bob);
        if (!front) s.Stamp(kTailBack, 19, 27 + bob);
        break;
    }
    case Facing::Left: {
        static constexpr int kNear[4] = {0, 1, 2, 1};
        int nearPose = kNear[step], farPose = 2 - kNear[step];
        s.Stamp(kTailSide, 20, 24 + bob);
        if (step == 3) s.Stamp(kLegSideUp, 17, 28);
        else s.Stamp(kLegSide[farPose], 17, 27);
        s.Stamp(kArmSide[step < 2 ? 0 : 1], 19, 18 + bob);
        s.Stamp(kTorsoSide, 16, 16 + bob);
        if (step == 1) s.Stamp(kLegSideUp, 16, 28);
        else s.Stamp(kLegSide[nearPose], 16, 27);
        s.Stamp(kArmSide[step < 2 ? 1 : 0], 17, 18 + bob);
        s.Stamp(kHeadSide, 10, 6 + bob);
        break;
    }
    }
}

}  // namespace

const Character& Fenwa() {
    static const Character who = {
        "Fenwa",
        {
            {'G', {92, 196, 84}},
            {'g', {50, 138, 66}},
            {'H', {168, 236, 120}},
            {'Y', {228, 242, 164}},
            {'y', {188, 210, 120}},
            {'A', {255, 214, 60}},
            {'D', {40, 110, 60}},
            {'#', {18, 56, 34}},
        },
        '#',
        Draw,
        {214, 250, 200}, {110, 190, 140},
        8, 4,
    };
    return who;
}

}  // namespace artgen
