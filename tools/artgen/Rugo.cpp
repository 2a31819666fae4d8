// Rugo: a pink and white pony foal with a shaggy brown mane and tail.
#include "tools/artgen/Sprites.h"

namespace artgen {
namespace {

// P pink coat, p pink shade, Q pink highlight, W white, w white shade, M brown mane,
// m mane shade, N mane highlight, h hoof.
const PixelMap kHeadFront = PixelMap::Symmetric({
    ".pP....",
    ".pPP..M",
    ".PPPMMN",
    "..PPMNM",
    "..PPPMM",
    "..PPPPM",
    ".POOPPP",
    ".POOPPP",
    ".PPPPPP",
    "..PPPPP",
    "..PWWWW",
    "..WWWWW",
    "..WOWWW",
    "...wwww",
});

// The mane falling down both sides of the neck, behind the head.
const PixelMap kManeFront = PixelMap::Symmetric({
    ".MMN.....",
    "MMMM.....",
    "mMMM.....",
    ".mMM.....",
    "..mM.....",
});

const PixelMap kChestFront = PixelMap::Symmetric({
    "..PPPP",
    ".PPPPP",
    "PPPWWW",
    "PPPWWW",
    "PPPPWW",
    "pPPPPW",
    ".pPPPP",
    "..pppp",
});

const PixelMap kLegNear = {
    "PPP",
    "PPP",
    "WWW",
    "WWW",
    "WWW",
    "hhh",
};

const PixelMap kLegNearUp = {
    "PPP",
    "WWW",
    "WWW",
    "hhh",
};

const PixelMap kLegFar = {
    "ppp",
    "ppp",
    "www",
    "www",
    "hhh",
};

const PixelMap kLegFarUp = {
    "ppp",
    "www",
    "hhh",
};

const PixelMap kHeadBack = PixelMap::Symmetric({
    ".pP....",
    ".pPP...",
    ".PPPPPM",
    "..PPPPM",
    "..PPPMN",
    "..PPPPM",
    "..QPPMM",
    "...PPMM",
    "...PPMN",
    "...PPMM",
    "...pPMM",
    "...pPPM",
});

const PixelMap kRumpBack = PixelMap::Symmetric({
    "....PPPPP",
    "..PPPPPPP",
    ".PPPQQPPP",
    "PPPQQPPPP",
    "PPPPPPPPp",
    "PPPPPPPPp",
    "pPPPPPPPp",
    "pPPPPPPPp",
    ".pPPPPPPp",
    "..ppPPPpp",
});

const PixelMap kTailBack = {
    ".MM.",
    "MMNM",
    "MMNM",
    "MmMM",
    "MmMm",
    "MMmM",
    ".MMm",
    ".MmM",
    ".MMm",
    "..Mm",
    "..mM",
};

// Facing left: head, neck and body in one piece; legs and tail are added per step.
const PixelMap kBodySide = {
    "........pP..............",
    ".......pPPMM............",
    "......PPPPMMM...........",
    ".....PPPPPPMNM..........",
    "....PPPPPPPPMMM.........",
    "...PPOOPPPPPMNMM........",
    "..PPPOOPPPPPPMMM........",
    ".PPPPPPPPPPPPMMMM.......",
    "WWWPPPPPPPPPPMMNM.......",
    "WWWWWPPPPPPPPPMMM.......",
    "OWWWWWPPPPPPPPMMMM......",
    ".WWWWW.PPPPPPPPMMM......",
    "..www..PPPPPPPPPMMPPPPP.",
    ".......PPPPPPPPPPPPPQQPP",
    ".......WPPPPPPPPPPPPPPPP",
    ".......WWPPPPPPPPPPPPPPp",
    ".......WWWPPPPPPPPPPPPPp",
    "........WWWWWWPPPPPPPPp.",
    ".........WWWWWWWWPPPpp..",
    "..........wwwwwwwwwpp...",
};

const PixelMap kTailSide = {
    "MMM..",
    "MMNM.",
    ".MNMM",
    ".MMmM",
    "..MMm",
    "..MmM",
    "..MMm",
    "...Mm",
};

const PixelMap kLegSide[3] = {
    {   // forward
        ".PP",
        ".PP",
        ".WW",
        "WW.",
        "WW.",
        "hh.",
    },
    {   // straight
        "PP",
        "PP",
        "WW",
        "WW",
        "WW",
        "hh",
    },
    {   // back
        "PP.",
        "PP.",
        "WW.",
        ".WW",
        ".WW",
        ".hh",
    },
};

const PixelMap kFarLegSide[3] = {
    {
        ".pp",
        ".pp",
        ".ww",
        "ww.",
        "ww.",
        "hh.",
    },
    {
        "pp",
        "pp",
        "ww",
        "ww",
        "ww",
        "hh",
    },
    {
        "pp.",
        "pp.",
        "ww.",
        ".ww",
        ".ww",
        ".hh",
    },
};

constexpr int kBob[4] = {0, -1, 0, -1};

void Draw(Sprite& s, Facing facing, int step) {
    const int bob = kBob[step];
    switch (facing) {
    case Facing::Down: {
        s.Shadow(9, 33, 22, 6);
        bool leftUp = step == 1, rightUp = step == 3;
        s.Stamp(rightUp ? kLegFarUp : kLegFar, 12, 27);
        s.Stamp(leftUp ? kLegFarUp : kLegFar, 25, 27);
        s.Stamp(kChestFront, 14, 20 + bob);
        s.Stamp(leftUp ? kLegNearUp : kLegNear, 15, leftUp ? 28 : 29);
        s.Stamp(rightUp ? kLegNearUp : kLegNear, 22, rightUp ? 28 : 29);
        s.Stamp(kManeFront, 11, 14 + bob);
        s.Stamp(kHeadFront, 13, 6 + bob);
        s.Dot(16, 12 + bob, 'I');
        s.Dot(24, 12 + bob, 'I');
        break;
    }
    case Facing::Up: {
        s.Shadow(9, 33, 22, 6);
        bool leftUp = step == 1, rightUp = step == 3;
        static constexpr int kSwish[4] = {0, 1, 0, -1};
        s.Stamp(kHeadBack, 13, 6 + bob);
        s.Stamp(leftUp ? kLegNearUp : kLegNear, 13, leftUp ? 28 : 29);
        s.Stamp(rightUp ? kLegNearUp : kLegNear, 24, rightUp ? 28 : 29);
        s.Stamp(kRumpBack, 11, 18 + bob);
        s.Stamp(kTailBack, 18 + kSwish[step], 19 + bob, true, kSwish[step] < 0);
        break;
    }
    case Facing::Left: {
        s.Shadow(6, 33, 28, 6);
        // Diagonal pairs move together: near front with far hind, far front with near hind.
        static constexpr int kPose[4] = {0, 1, 2, 1};
        int a = kPose[step], b = 2 - kPose[step];
        s.Stamp(kFarLegSide[b], 17, 27);
        s.Stamp(kFarLegSide[a], 27, 27);
        s.Stamp(kTailSide, 28, 18 + bob + (step == 1 ? 1 : 0));
        s.Stamp(kBodySide, 6, 8 + bob);
        s.Stamp(kLegSide[a], 14, 27);
        s.Stamp(kLegSide[b], 24, 27);
        s.Dot(12, 13 + bob, 'I');
        break;
    }
    }
}

}  // namespace

const Character& Rugo() {
    static const Character who = {
        "Rugo",
        {
            {'P', {255, 170, 200}},
            {'p', {222, 118, 160}},
            {'Q', {255, 212, 228}},
            {'W', {255, 255, 255}},
            {'w', {214, 212, 226}},
            {'M', {140, 84, 44}},
            {'m', {98, 54, 30}},
            {'N', {186, 124, 70}},
            {'h', {90, 60, 56}},
            {'#', {84, 34, 52}},
        },
        '#',
        Draw,
        {234, 222, 255}, {150, 124, 214},
        8, 3,
    };
    return who;
}

}  // namespace artgen
