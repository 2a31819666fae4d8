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
    "GGGGGGG",
    "GGGGGgG",
    "GGgGGGG",
    "GGGGGGG",
    ".GgGGGG",
    ".GgGGgG",
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
    ".GGG",
    "GGgG",
    "GGGG",
    "GGGg",
    "GgGG",
    "gGGG",
    "gGGg",
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
    "#GGGGPGGGGg",
    ".##YYGGGGg.",
    "...yyygggg.",
};

const PixelMap kTorsoSide = {
    ".GGGG.",
    "YGGGGG",
    "YYGGGG",
    "YYGGGG",
    "YYGGgG",
    "YYGGGG",
    "YyGGgG",
    "yyGGGG",
    ".yGGGg",
    "..ggg.",
};

const PixelMap kTailSide = {
    "..........GG",
    ".........GGg",
    ".........Gg.",
    "........GGg.",
    "GGG...GGGg..",
    "GGGGGGGgg...",
    ".gggggg.....",
};

// Legs facing left, hip at columns 3 and 4: forward, straight, back, lifted.
const PixelMap kLegSide[4] = {
    {
        "...GG...",
        "...GG...",
        "..GGg...",
        "..Gg....",
        ".GGg....",
        ".Gg.....",
        "Gg......",
        "GGG.....",
    },
    {
        "...GG...",
        "...GG...",
        "...Gg...",
        "...Gg...",
        "...Gg...",
        "...Gg...",
        "...gg...",
        "..GGG...",
    },
    {
        "...GG...",
        "...GG...",
        "...GGg..",
        "....Gg..",
        "....GGg.",
        ".....Gg.",
        ".....Gg.",
        "....GGG.",
    },
    {
        "...GG...",
        "..GGg...",
        ".GGg....",
        "..Gg....",
        "...Gg...",
        "..GGG...",
    },
};

// Arms facing left, shoulder at columns 2 and 3: forward, hanging, back.
const PixelMap kArmSide[3] = {
    {
        "..GG.",
        ".GGg.",
        "GGg..",
        "Gg...",
        "GG...",
    },
    {
        "..GG.",
        "..Gg.",
        "..Gg.",
        "..Gg.",
        "..GG.",
    },
    {
        "..GG.",
        "..gGG",
        "...gG",
        "...gG",
        "...GG",
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
        s.Stamp(leftUp ? kLegUp : kLeg, 16, 28);
        s.Stamp(rightUp ? kLegUp : kLeg, 22, 28, true, true);
        s.Stamp(kArm, 13, 18 + bob + (step == 3 ? 1 : 0));
        s.Stamp(kArm, 25, 18 + bob + (step == 1 ? 1 : 0), true, true);
        s.Stamp(front ? kTorsoFront : kTorsoBack, 16, 16 + bob);
        s.Stamp(front ? kHeadFront : kHeadBack, 13, 5 + bob);
        if (!front) s.Stamp(kTailBack, 19, 27 + bob);
        break;
    }
    case Facing::Left: {
        // Legs swing in opposition, the arms against the legs.
        static constexpr int kNearLeg[4] = {0, 3, 2, 1};
        static constexpr int kFarLeg[4] = {2, 1, 0, 3};
        static constexpr int kNearArm[4] = {2, 1, 0, 1};
        // The far limbs are in the body's shade and need no outline of their own.
        const PixelMap farLeg = kLegSide[kFarLeg[step]].Recoloured("Gg", "DD");
        const PixelMap farArm = kArmSide[2 - kNearArm[step]].Recoloured("Gg", "DD");
        s.Stamp(kTailSide, 20, 22 + bob);
        s.Stamp(farArm, 16, 18 + bob, false);
        s.Stamp(farLeg, 16, 25, false);
        s.Stamp(kTorsoSide, 16, 15 + bob);
        s.Stamp(kLegSide[kNearLeg[step]], 15, 25);
        s.Stamp(kArmSide[kNearArm[step]], 14, 18 + bob);
        s.Stamp(kHeadSide, 10, 5 + bob);
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
            {'P', {250, 150, 130}},
            {'#', {18, 56, 34}},
        },
        '#',
        Draw,
        {255, 226, 236}, {222, 132, 160},
        8, 3,
    };
    return who;
}

}  // namespace artgen
