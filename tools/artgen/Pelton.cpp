// Pelton: a chubby red dragonling with pale bat wings, little cream horns and a curled tail.
#include "tools/artgen/Sprites.h"

namespace artgen {
namespace {

// R red, r red shade, H red highlight, C cream, c cream shade, d wing bone,
// E eye, P cheek blush.
const PixelMap kHeadFront = PixelMap::Symmetric({
    "..C......",
    "..CC.....",
    "..cC.RRRR",
    "...c#RRHH",
    "...RRRRRH",
    "..RRRRRRR",
    ".RRRRRRRR",
    ".RRRRRRRR",
    ".RRROORRR",
    ".RRROORRR",
    ".RPROORRR",
    ".rPPRRRCC",
    "..rrRRCCC",
    "...rrrccc",
});

const PixelMap kBodyFront = PixelMap::Symmetric({
    "....RRRR",
    "..RRRRCC",
    ".RR#RCCC",
    "RRR#RCcC",
    "RrR#RCCC",
    ".rr#RCcC",
    "...#RCCC",
    "...RRCcC",
    "...RRCCC",
    "...rRRCC",
    "....rrrr",
});

const PixelMap kWingsFront = PixelMap::Symmetric({
    "..C...........",
    ".CCc..........",
    ".CCCcc........",
    "CCCCCCcc......",
    "CCdCCCCCcc....",
    "CdCCdCCCCCcc..",
    "CdCCCdCCCCCCcc",
    "dCCCCCdCCCCCCC",
    ".CCCCCCdCCCCCC",
    ".C.CCCCCCdCCCC",
    "....C.CCCCCCCC",
    "........CCCCCC",
});

const PixelMap kFootDown = {
    ".RRR.",
    "RRRRR",
    "RRRRR",
    "rCrCr",
};

const PixelMap kFootUp = {
    ".RRR.",
    "RRRRR",
    "rCrCr",
};

const PixelMap kTailFront = {
    "....RR",
    "...RRr",
    "RRRRr.",
    "rrr...",
};

// Seen from behind: the wings are in front of the body.
const PixelMap kHeadBack = PixelMap::Symmetric({
    "..C......",
    "..CC.....",
    "..cC.RRRR",
    "...c#RRRR",
    "...RRRRRH",
    "..RRRRRRr",
    ".RRRRRRRR",
    ".RRRRRRRR",
    ".RRRRRRRH",
    ".RRRRRRRr",
    ".RRRRRRRR",
    ".rRRRRRRR",
    "..rrRRRRH",
    "...rrrrrr",
});

const PixelMap kBodyBack = PixelMap::Symmetric({
    "....RRRR",
    "..RRRRRR",
    ".RR#RRRH",
    "RRR#RRRr",
    "RrR#RRRR",
    ".rr#RRRH",
    "...#RRRr",
    "...RRRRR",
    "...RRRRR",
    "...rRRRR",
    "....rrrr",
});

// One wing, the left; the right is its mirror.
const PixelMap kWingBack = {
    "C..........",
    "CC.........",
    "cCC........",
    ".cCCC......",
    ".dcCCCC....",
    "..dCcCCCC..",
    "..dCCcCCCCC",
    "...dCCCcCCC",
    "....d.CCCCC",
    "........CC.",
};

const PixelMap kTailBack = {
    "..RR..",
    "..RR..",
    "..RRr.",
    "...RR.",
    "...rRR",
    "....rr",
};

// Facing left.
const PixelMap kHeadSide = {
    ".........C.C...",
    "........CcCc...",
    "......RRcRc....",
    "....RRRRRRRRR..",
    "...RRRRRRRRRRR.",
    "..RRRO#RRRRRRR.",
    ".RRRROIRRRRRRRR",
    "RRRRROORRRRRRRR",
    "RHRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRr",
    ".CCCRRRPRRRRRRr",
    "..cCCCRRRRRRRr.",
    "....ccrrrrrr...",
};

const PixelMap kBodySide = {
    "...RRRRRRR..",
    "..CRRRRRRRR.",
    ".CCRRRRRRRRR",
    ".CCRRRRRRRRR",
    ".CcRRRRRRRRR",
    ".CCRRRRRRRRR",
    ".CcRRRRRRRRr",
    "..CCRRRRRRRr",
    "...CrRRRRRr.",
    "....rrrrrr..",
};

const PixelMap kArmSide = {
    "RRr",
    "Rr.",
};

const PixelMap kWingSide = {
    "........C",
    ".......CC",
    "......CCc",
    "....CCCCc",
    "..CCCdCCc",
    ".CCdCCCc.",
    "CCdCCCc..",
    "CdCCc....",
    "dc.c.....",
};

const PixelMap kTailSide = {
    ".......RR",
    "......RrR",
    "RR....RR.",
    "RRRRRRRr.",
    ".rrrrrr..",
};

const PixelMap kLegSideDown = {
    ".RR.",
    ".RR.",
    "RRRR",
    "CrCr",
};

const PixelMap kLegSideUp = {
    "RRR.",
    "RRRR",
    "CrCr",
};

// The head alone, for the icons.
const PixelMap kBadgeHead = PixelMap::Symmetric({
    ".C.....",
    ".CC....",
    ".cC.RRR",
    "..#RRHH",
    ".RRRRRH",
    "RRRRRRR",
    "RRROORR",
    "RRROORR",
    "RPROORR",
    "RPPRRRC",
    ".rRRCCC",
    "..rrccc",
});

void DrawBadge(Sprite& s) {
    s.Stamp(kBadgeHead, 1, 2);
    s.Dot(5, 8, 'I');
    s.Dot(11, 8, 'I');
}

constexpr int kBob[4] = {0, -1, 0, -1};

void Draw(Sprite& s, Facing facing, int step) {
    const int bob = kBob[step];
    s.Shadow(9, 33, 22, 6);
    switch (facing) {
    case Facing::Down: {
        s.Stamp(kTailFront, 26, 28 + bob);
        s.Stamp(kWingsFront, 6, 14 + bob);
        bool leftUp = step == 1, rightUp = step == 3;
        s.Stamp(leftUp ? kFootUp : kFootDown, 14, leftUp ? 31 : 32);
        s.Stamp(rightUp ? kFootUp : kFootDown, 21, rightUp ? 31 : 32);
        s.Stamp(kBodyFront, 12, 21 + bob);
        s.Stamp(kHeadFront, 11, 7 + bob);
        s.Dot(16, 14 + bob, 'I');
        s.Dot(24, 14 + bob, 'I');
        break;
    }
    case Facing::Up: {
        s.Stamp(kTailBack, 18, 28 + bob);
        bool leftUp = step == 1, rightUp = step == 3;
        s.Stamp(leftUp ? kFootUp : kFootDown, 14, leftUp ? 31 : 32);
        s.Stamp(rightUp ? kFootUp : kFootDown, 21, rightUp ? 31 : 32);
        s.Stamp(kBodyBack, 12, 21 + bob);
        s.Stamp(kWingBack, 6, 14 + bob);
        s.Stamp(kWingBack, 23, 14 + bob, true, true);
        s.Stamp(kHeadBack, 11, 7 + bob);
        break;
    }
    case Facing::Left: {
        // Near leg forward on step 0, passing on 1, back on 2, passing on 3.
        static constexpr int kNearX[4] = {15, 18, 21, 18};
        static constexpr int kFarX[4] = {22, 19, 16, 19};
        s.Stamp(kTailSide, 25, 26 + bob);
        // The far leg is in the body's shade, so the stride reads.
        const PixelMap farLeg = (step == 3 ? kLegSideUp : kLegSideDown).Recoloured("RrC", "rqc");
        s.Stamp(farLeg, kFarX[step], step == 3 ? 31 : 32);
        s.Stamp(kBodySide, 14, 22 + bob);
        s.Stamp(step == 1 ? kLegSideUp : kLegSideDown, kNearX[step], step == 1 ? 31 : 32);
        s.Stamp(kArmSide, 14, 25 + bob);
        s.Stamp(kHeadSide, 9, 9 + bob);
        s.Stamp(kWingSide, 22, 12 + bob);
        break;
    }
    }
}

}  // namespace

const Character& Pelton() {
    static const Character who = {
        "Pelton",
        {
            {'R', {226, 62, 54}},
            {'r', {170, 36, 46}},
            {'q', {128, 26, 40}},
            {'H', {255, 130, 102}},
            {'C', {255, 240, 208}},
            {'c', {232, 202, 164}},
            {'d', {206, 164, 132}},
            {'P', {255, 156, 150}},
            {'#', {86, 20, 34}},
        },
        '#',
        Draw,
        {200, 244, 232}, {70, 160, 160},
        8, 6,
        DrawBadge,
    };
    return who;
}

}  // namespace artgen
