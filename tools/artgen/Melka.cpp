// Melka: a round blue bird with a feathered crest, wide purple wings and orange feet.
#include "tools/artgen/Sprites.h"

namespace artgen {
namespace {

// B blue, b blue shade, H blue highlight, L pale face and belly, l its shade,
// V purple, v purple shade, U purple highlight, Y orange, y orange shade.
const PixelMap kBodyFront = PixelMap::Symmetric({
    "......BBBB",
    "....BBBBBB",
    "...BBBBHHB",
    "..BBBBHHBB",
    ".BBBBBBBBB",
    ".BBBLLLLBB",
    "BBBLLLLLLL",
    "BBBLOOLLLL",
    "BBBLOOLLLL",
    "BBBLOOLLLY",
    "BBBBLLLLYY",
    "bBBBBLLLLy",
    "bBBBBBLLLL",
    "bBBBBBLLLL",
    "bbBBBBlLLL",
    ".bBBBBBlLL",
    ".bbBBBBBll",
    "..bbbBBBBB",
    "....bbbbbb",
});

const PixelMap kBodyBack = PixelMap::Symmetric({
    "......BBBB",
    "....BBBBBB",
    "...BBBBBBB",
    "..BBBBBBBB",
    ".BBBBBBBBB",
    ".BBBBBBBBB",
    "BBBBBBBBBB",
    "BBBBBBBBBB",
    "BBBBBBBBBB",
    "BBBBBBBBBB",
    "BBBBBBBBBB",
    "bBBBBBBBBB",
    "bBBBBBBBBB",
    "bBBBBBBBBB",
    "bbBBBBBBBB",
    ".bBBBBBBBB",
    ".bbBBBBBBB",
    "..bbbBBBBB",
    "....bbbbbb",
});

const PixelMap kCrest = {
    "V...V",
    "VV.VV",
    ".VVV.",
    "..V..",
};

// The left wing held out from the body; the right one is its mirror.
const PixelMap kWingFront = {
    "....VV",
    "..VVVV",
    ".VVUVV",
    "VVUVVV",
    "VUVVVV",
    "VUVVVv",
    "VVVVvv",
    "VVVvv.",
    "V.Vv..",
};

const PixelMap kTailBack = {
    "V.V.V",
    "VVVVV",
    "vVVVv",
    ".vVv.",
};

const PixelMap kFootDown = {
    ".Y.",
    ".Y.",
    ".Y.",
    ".Y.",
    "YYY",
};

const PixelMap kFootUp = {
    ".Y.",
    ".Y.",
    ".Y.",
    "YYY",
};

// Facing left.
const PixelMap kBodySide = {
    ".......BBBBB....",
    ".....BBBBBBBBB..",
    "....BBBBBHHBBBB.",
    "...BBBBBBBHBBBBB",
    "..LLLBBBBBBBBBBB",
    ".LLLLLBBBBBBBBBB",
    ".LOOLLLBBBBBBBBB",
    ".LOOLLLBBBBBBBBB",
    "YLOOLLBBBBBBBBBB",
    "YYLLLBBBBBBBBBBB",
    "yYLLLBBBBBBBBBBb",
    ".LLLLBBBBBBBBBBb",
    ".LLLLBBBBBBBBBBb",
    ".lLLLLBBBBBBBBbb",
    "..lLLLLBBBBBBBb.",
    "...llLLBBBBBbb..",
    ".....llbbbbbb...",
};

const PixelMap kWingSide = {
    ".VVVV.....",
    "VUUVVVV...",
    "VUVVVVVVV.",
    "VVUVVVVVVV",
    ".VVVVVVvvV",
    "..VVVvvV.v",
    "....vV.v..",
};

const PixelMap kTailSide = {
    "..V.",
    ".VVV",
    "VVVV",
    "vVVV",
    ".vv.",
};

const PixelMap kCrestSide = {
    ".V.V",
    "VV.V",
    ".VVV",
};

// Facing left, hip at columns 3 and 4: forward, under the body, back, lifted.
const PixelMap kLegSide[4] = {
    {
        "...Yy.",
        "..Yy..",
        ".Yy...",
        "YYy...",
    },
    {
        "...Yy.",
        "...Yy.",
        "...Yy.",
        "..YYy.",
    },
    {
        "...Yy.",
        "....Yy",
        "....Yy",
        "...YYy",
    },
    {
        "...Yy.",
        "..Yy..",
        ".YYy..",
    },
};

constexpr int kBob[4] = {0, -1, 0, -1};
constexpr int kFlap[4] = {0, -2, 0, -2};

void Draw(Sprite& s, Facing facing, int step) {
    const int bob = kBob[step];
    s.Shadow(9, 33, 22, 6);
    switch (facing) {
    case Facing::Down:
    case Facing::Up: {
        bool front = facing == Facing::Down;
        bool leftUp = step == 1, rightUp = step == 3;
        s.Stamp(leftUp ? kFootUp : kFootDown, 15, leftUp ? 30 : 31);
        s.Stamp(rightUp ? kFootUp : kFootDown, 22, rightUp ? 30 : 31);
        s.Stamp(kWingFront, 5, 20 + kFlap[step]);
        s.Stamp(kWingFront, 29, 20 + kFlap[step], true, true);
        s.Stamp(kCrest, 18, 8 + bob);
        s.Stamp(front ? kBodyFront : kBodyBack, 10, 12 + bob);
        if (front) {
            s.Dot(15, 19 + bob, 'I');
            s.Dot(25, 19 + bob, 'I');
        } else {
            s.Stamp(kTailBack, 18, 27 + bob);
        }
        break;
    }
    case Facing::Left: {
        // Near leg: forward, lifted while passing, back, under the body while the far one passes.
        static constexpr int kNear[4] = {0, 3, 2, 1};
        static constexpr int kFar[4] = {2, 1, 0, 3};
        s.Stamp(kLegSide[kFar[step]].Recoloured("Yy", "yz"), 17, 30);
        s.Stamp(kTailSide, 27, 23 + bob);
        s.Stamp(kCrestSide, 17, 9 + bob);
        s.Stamp(kBodySide, 11, 12 + bob);
        s.Stamp(kLegSide[kNear[step]], 14, 30);
        s.Stamp(kWingSide, 19, 20 + bob + kFlap[step] / 2);
        s.Dot(14, 18 + bob, 'I');
        break;
    }
    }
}

}  // namespace

const Character& Melka() {
    static const Character who = {
        "Melka",
        {
            {'B', {58, 112, 222}},
            {'b', {36, 70, 160}},
            {'H', {120, 174, 255}},
            {'L', {196, 224, 255}},
            {'l', {150, 184, 232}},
            {'V', {150, 84, 206}},
            {'v', {102, 52, 150}},
            {'U', {196, 146, 240}},
            {'Y', {255, 170, 40}},
            {'y', {210, 110, 20}},
            {'z', {160, 76, 16}},
            {'#', {22, 26, 72}},
        },
        '#',
        Draw,
        {255, 240, 186}, {238, 168, 84},
        8, 5,
    };
    return who;
}

}  // namespace artgen
