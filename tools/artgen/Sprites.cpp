#include "tools/artgen/Sprites.h"

#include <stdexcept>

namespace artgen {

const std::vector<Ink>& SharedInks() {
    static const std::vector<Ink> inks = {
        {'S', {150, 150, 158}},
        {'T', {112, 112, 122}},
        {'O', {0, 0, 0}},
        {'I', {255, 255, 255}},
    };
    return inks;
}

PixelMap::PixelMap(std::initializer_list<const char*> rows) {
    for (const char* r : rows) {
        rows_.emplace_back(r);
        width_ = std::max(width_, static_cast<int>(rows_.back().size()));
    }
}

PixelMap PixelMap::Symmetric(std::initializer_list<const char*> leftHalves) {
    PixelMap m;
    size_t half = 0;
    for (const char* r : leftHalves) half = std::max(half, std::string(r).size());
    for (const char* r : leftHalves) {
        std::string left(r);
        left.resize(half, '.');
        m.rows_.push_back(left + std::string(left.rbegin(), left.rend()));
    }
    m.width_ = static_cast<int>(2 * half);
    return m;
}

PixelMap PixelMap::Recoloured(const std::string& from, const std::string& to) const {
    if (from.size() != to.size()) throw std::logic_error("recolouring needs pairs of inks");
    PixelMap m = *this;
    for (std::string& row : m.rows_)
        for (char& c : row) {
            size_t k = from.find(c);
            if (k != std::string::npos) c = to[k];
        }
    return m;
}

char PixelMap::At(int x, int y) const {
    if (y < 0 || y >= Height() || x < 0 || x >= static_cast<int>(rows_[y].size())) return '.';
    return rows_[y][x];
}

bool PixelMap::Filled(int x, int y) const {
    char c = At(x, y);
    return c != '.' && c != ' ';
}

const std::array<const Character*, kCharacterCount>& Roster() {
    static const std::array<const Character*, kCharacterCount> roster = {&Pelton(), &Melka(), &Rugo(), &Fenwa()};
    return roster;
}

static core::PaletteEntry Entry(Rgb c) { return {c.blue, c.green, c.red, 0}; }

std::vector<core::PaletteEntry> SpritePalette() {
    std::vector<core::PaletteEntry> table(kPaletteSize, core::PaletteEntry{});
    int i = 0;
    for (const Ink& ink : SharedInks()) table[i++] = Entry(ink.color);
    table[kKeyIndex] = Entry(kKeyColor);
    for (int slot = 0; slot < kCharacterCount; ++slot) {
        const Character& who = *Roster()[slot];
        if (who.inks.size() > kInksPerCharacter) throw std::logic_error(std::string(who.unit) + ": too many inks");
        int base = 64 + slot * kInksPerCharacter;
        for (size_t k = 0; k < who.inks.size(); ++k) table[base + k] = Entry(who.inks[k].color);
    }
    for (size_t k = 0; k < table.size(); ++k)
        if (k != kKeyIndex && table[k] == Entry(kKeyColor))
            throw std::logic_error("an ink has the key colour");
    return table;
}

Sprite::Sprite(const Character& who, int slot) {
    lookup_.fill(0xFF);
    uint8_t i = 0;
    for (const Ink& ink : SharedInks()) lookup_[static_cast<uint8_t>(ink.code)] = i++;
    uint8_t base = static_cast<uint8_t>(64 + slot * kInksPerCharacter);
    for (size_t k = 0; k < who.inks.size(); ++k) {
        uint8_t code = static_cast<uint8_t>(who.inks[k].code);
        if (lookup_[code] != 0xFF) throw std::logic_error(std::string(who.unit) + ": ink code used twice");
        lookup_[code] = static_cast<uint8_t>(base + k);
    }
    lookup_['#'] = IndexOf(who.outlineInk);
    pixels_.fill(kKeyIndex);
}

uint8_t Sprite::IndexOf(char ink) const {
    uint8_t i = lookup_[static_cast<uint8_t>(ink)];
    if (i == 0xFF) throw std::logic_error(std::string("unknown ink '") + ink + "'");
    return i;
}

void Sprite::Put(int x, int y, uint8_t index) {
    if (x >= 0 && y >= 0 && x < kFrameSize && y < kFrameSize) pixels_[y * kFrameSize + x] = index;
}

void Sprite::Stamp(const PixelMap& map, int x, int y, bool outline, bool flip) {
    auto at = [&](int mx, int my) { return map.At(flip ? map.Width() - 1 - mx : mx, my); };
    auto filled = [&](int mx, int my) { char c = at(mx, my); return c != '.' && c != ' '; };
    if (outline) {
        uint8_t line = lookup_['#'];
        for (int my = -1; my <= map.Height(); ++my)
            for (int mx = -1; mx <= map.Width(); ++mx)
                if (!filled(mx, my) &&
                    (filled(mx - 1, my) || filled(mx + 1, my) || filled(mx, my - 1) || filled(mx, my + 1)))
                    Put(x + mx, y + my, line);
    }
    for (int my = 0; my < map.Height(); ++my)
        for (int mx = 0; mx < map.Width(); ++mx)
            if (filled(mx, my)) Put(x + mx, y + my, IndexOf(at(mx, my)));
}

void Sprite::Dot(int x, int y, char ink) { Put(x, y, IndexOf(ink)); }

void Sprite::Shadow(int x, int y, int w, int h) {
    Canvas probe(kFrameSize, kFrameSize);
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            if (!probe.InEllipse(i, j, x, y, w, h)) continue;
            bool inner = probe.InEllipse(i, j, x + 3, y + 1, w - 6, h - 2);
            Put(i, j, IndexOf(inner ? 'T' : 'S'));
        }
}

void Sprite::ClosePinholes() {
    const int n = kFrameSize;
    std::vector<int> region(n * n, -1);   // 0 = reaches the edge
    std::vector<std::vector<int>> members(1);
    auto open = [&](int x, int y) { return pixels_[y * n + x] == kKeyIndex; };
    auto flood = [&](int sx, int sy, int id) {
        std::vector<int> stack{sy * n + sx};
        region[sy * n + sx] = id;
        while (!stack.empty()) {
            int p = stack.back();
            stack.pop_back();
            if (id > 0) members[id].push_back(p);
            int x = p % n, y = p / n;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                int a = x + dx, b = y + dy;
                if (a < 0 || b < 0 || a >= n || b >= n || !open(a, b) || region[b * n + a] != -1) continue;
                region[b * n + a] = id;
                stack.push_back(b * n + a);
            }
        }
    };
    for (int i = 0; i < n; ++i)
        for (auto [x, y] : {std::pair{i, 0}, {i, n - 1}, {0, i}, {n - 1, i}})
            if (open(x, y) && region[y * n + x] == -1) flood(x, y, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (open(x, y) && region[y * n + x] == -1) {
                members.emplace_back();
                flood(x, y, static_cast<int>(members.size()) - 1);
            }
    for (size_t id = 1; id < members.size(); ++id)
        if (members[id].size() <= 3)
            for (int p : members[id]) pixels_[p] = lookup_['#'];
}

core::Bitmap Sprite::ToBitmap() const {
    core::Bitmap bmp(kFrameSize, kFrameSize, 8, SpritePalette());
    for (int y = 0; y < kFrameSize; ++y)
        for (int x = 0; x < kFrameSize; ++x) bmp.SetIndex(x, y, At(x, y));
    return bmp;
}

core::Bitmap RenderFrame(int slot, int rgn) {
    if (rgn >= 13) return RenderFrame(slot, rgn - 4).Mirrored();
    const Character& who = *Roster()[slot];
    static constexpr Facing kGroups[] = {Facing::Up, Facing::Down, Facing::Left};
    Sprite sprite(who, slot);
    who.draw(sprite, kGroups[(rgn - 1) / 4], (rgn - 1) % 4);
    sprite.ClosePinholes();
    return sprite.ToBitmap();
}

Canvas CropSprite(const core::Bitmap& frame, int x, int y, int size) {
    Canvas c(size, size, kKeyColor);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            if (x + i >= 0 && y + j >= 0 && x + i < frame.Width() && y + j < frame.Height())
                c.Set(i, j, frame.Color(x + i, y + j));
    return c;
}

Canvas RenderBadge(int slot) {
    const Character& who = *Roster()[slot];
    if (!who.drawBadge) throw std::logic_error(std::string(who.unit) + " has no badge");
    Sprite sprite(who, slot);
    who.drawBadge(sprite);
    return CropSprite(sprite.ToBitmap(), 0, 0, 16);
}

std::vector<std::string> FrameFaults(const core::Bitmap& f) {
    std::vector<std::string> faults;
    const int n = kFrameSize;
    auto opaque = [&](int x, int y) { return x >= 0 && y >= 0 && x < n && y < n && f.Index(x, y) != kKeyIndex; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (!opaque(x, y)) continue;
            bool alone = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && opaque(x + dx, y + dy)) alone = false;
            if (alone) faults.push_back("stray pixel at " + std::to_string(x) + "," + std::to_string(y));
        }
    std::vector<bool> outside(n * n, false);
    std::vector<std::pair<int, int>> todo;
    for (int i = 0; i < n; ++i)
        for (auto [x, y] : {std::pair{i, 0}, {i, n - 1}, {0, i}, {n - 1, i}})
            if (!opaque(x, y) && !outside[y * n + x]) outside[y * n + x] = true, todo.push_back({x, y});
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            int a = x + dx, b = y + dy;
            if (a < 0 || b < 0 || a >= n || b >= n || opaque(a, b) || outside[b * n + a]) continue;
            outside[b * n + a] = true;
            todo.push_back({a, b});
        }
    }
    // Enclosed background is fine where it shows the ground between the legs, above the
    // shadow; anywhere else it is a hole in the figure.
    auto shadow = [&](int x, int y) {
        return opaque(x, y) && (f.Index(x, y) == 0 || f.Index(x, y) == 1);
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (opaque(x, y) || outside[y * n + x]) continue;
            std::vector<std::pair<int, int>> hole{{x, y}};
            outside[y * n + x] = true;
            bool onGround = false;
            for (size_t k = 0; k < hole.size(); ++k) {
                auto [hx, hy] = hole[k];
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    int a = hx + dx, b = hy + dy;
                    if (shadow(a, b)) onGround = true;
                    if (a < 0 || b < 0 || a >= n || b >= n || opaque(a, b) || outside[b * n + a]) continue;
                    outside[b * n + a] = true;
                    hole.push_back({a, b});
                }
            }
            if (!onGround)
                faults.push_back("hole of " + std::to_string(hole.size()) + " pixels at " + std::to_string(x) + "," +
                                 std::to_string(y));
        }
    return faults;
}

int RegionRectangles(const core::Bitmap& picture) {
    const int w = picture.Width(), h = picture.Height();
    const uint8_t key = picture.Index(0, h - 1);
    std::vector<std::pair<int, int>> previous, runs;
    int count = 0;
    for (int y = 0; y < h; ++y) {
        runs.clear();
        for (int x = 0; x < w;) {
            while (x < w && picture.Index(x, y) == key) ++x;
            if (x == w) break;
            int start = x;
            while (x < w && picture.Index(x, y) != key) ++x;
            runs.emplace_back(start, x);
        }
        if (runs != previous) count += static_cast<int>(runs.size());
        previous = runs;
    }
    return count;
}

}  // namespace artgen
