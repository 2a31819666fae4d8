#include "core/Zip.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace core {

namespace {

[[noreturn]] void Fail(const char* what) { throw ZipError(what); }

// The bits of a stream, least significant bit of each byte first.
class BitReader {
public:
    explicit BitReader(std::span<const uint8_t> data) : at_(data.data()), end_(data.data() + data.size()) {}

    // Buffers whole bytes while there is room and input.
    void Fill() {
        while (count_ <= 56 && at_ != end_) {
            bits_ |= uint64_t{*at_++} << count_;
            count_ += 8;
        }
    }
    // Up to 32 bits.
    uint32_t Bits(int n) {
        if (count_ < n) {
            Fill();
            if (count_ < n) Fail("the compressed data ends early");
        }
        auto value = static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
        Drop(n);
        return value;
    }
    // The buffered bits; those past Count() are zero.
    uint64_t Peek() const { return bits_; }
    int Count() const { return count_; }
    void Drop(int n) {
        bits_ >>= n;
        count_ -= n;
    }
    void AlignToByte() { Drop(count_ % 8); }
    // Whole bytes, once aligned.
    void CopyBytes(uint8_t* out, size_t n) {
        for (; n > 0 && count_ >= 8; --n) {
            *out++ = static_cast<uint8_t>(bits_);
            Drop(8);
        }
        if (static_cast<size_t>(end_ - at_) < n) Fail("the compressed data ends early");
        std::memcpy(out, at_, n);
        at_ += n;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
    uint64_t bits_ = 0;
    int count_ = 0;
};

constexpr int kMaxBits = 15;
constexpr int kFastBits = 9;

// A canonical prefix code: codes of up to kFastBits bits are found in one table look-up, longer
// ones bit by bit.
class Huffman {
public:
    // Lengths 0 mark unused symbols. Over-subscribed lengths are refused; incomplete ones are
    // allowed (a stream of one distance has them), and their missing codes fail when met.
    void Build(std::span<const uint8_t> lengths) {
        count_.fill(0);
        for (uint8_t length : lengths) ++count_[length];
        count_[0] = 0;
        int left = 1;
        for (int length = 1; length <= kMaxBits; ++length) {
            left = (left << 1) - count_[length];
            if (left < 0) Fail("the compressed data has a broken code table");
        }
        std::array<uint16_t, kMaxBits + 1> offset{};
        for (int length = 1; length < kMaxBits; ++length) offset[length + 1] = offset[length] + count_[length];
        symbols_.assign(lengths.size(), 0);
        for (size_t symbol = 0; symbol < lengths.size(); ++symbol)
            if (lengths[symbol]) symbols_[offset[lengths[symbol]]++] = static_cast<uint16_t>(symbol);

        fast_.fill(0);
        uint32_t code = 0;
        size_t index = 0;
        for (int length = 1; length <= kFastBits; ++length, code <<= 1)
            for (int i = 0; i < count_[length]; ++i, ++index, ++code) {
                // The stream sends a code's first bit first: the table is indexed by the reversed code.
                uint32_t reversed = 0;
                for (int bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1u) << (length - 1 - bit);
                for (uint32_t slot = reversed; slot < fast_.size(); slot += 1u << length)
                    fast_[slot] = static_cast<uint16_t>(symbols_[index] << 4 | length);
            }
    }

    int Decode(BitReader& in) const {
        in.Fill();
        uint16_t entry = fast_[in.Peek() & (fast_.size() - 1)];
        if (entry && (entry & 15) <= in.Count()) {
            in.Drop(entry & 15);
            return entry >> 4;
        }
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= kMaxBits; ++length) {
            code |= static_cast<int>(in.Bits(1));
            int count = count_[length];
            if (code - first < count) return symbols_[static_cast<size_t>(index + code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        Fail("the compressed data holds a code that means nothing");
    }

private:
    std::array<uint16_t, kMaxBits + 1> count_{};
    std::vector<uint16_t> symbols_;
    std::array<uint16_t, 1u << kFastBits> fast_{};  // symbol << 4 | length, 0 when longer
};

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr size_t kLiteralCodes = 286, kDistanceCodes = 30;
constexpr size_t kLargestDeflateRatio = 1032;

class Inflater {
public:
    // The member's size at once, so the output is one block and not a trail of outgrown ones;
    // but never more than deflate can make of the stream (1032 to 1), so a member that claims a
    // size its data cannot fill costs no more memory than that.
    Inflater(std::span<const uint8_t> stream, size_t size) : in_(stream), size_(size) {
        out_.reserve(std::min(size, stream.size() * kLargestDeflateRatio));
    }

    std::vector<uint8_t> Run() {
        bool last = false;
        while (!last) {
            last = in_.Bits(1) != 0;
            switch (in_.Bits(2)) {
            case 0: Stored(); break;
            case 1: Fixed(); break;
            case 2: Dynamic(); break;
            default: Fail("the compressed data has a block of an unknown kind");
            }
        }
        if (out_.size() != size_) Fail("the compressed data is shorter than its member");
        return std::move(out_);
    }

private:
    void Reserve(size_t n) {
        if (n > size_ - out_.size()) Fail("the compressed data is longer than its member");
    }

    void Stored() {
        in_.AlignToByte();
        uint32_t length = in_.Bits(16);
        if (in_.Bits(16) != (~length & 0xFFFFu)) Fail("the compressed data has a damaged stored block");
        Reserve(length);
        const size_t at = out_.size();
        out_.resize(at + length);
        in_.CopyBytes(out_.data() + at, length);
    }

    void Fixed() {
        std::array<uint8_t, 288> literal{};
        std::fill(literal.begin(), literal.begin() + 144, 8);
        std::fill(literal.begin() + 144, literal.begin() + 256, 9);
        std::fill(literal.begin() + 256, literal.begin() + 280, 7);
        std::fill(literal.begin() + 280, literal.end(), 8);
        std::array<uint8_t, kDistanceCodes> distance;
        distance.fill(5);
        Huffman literals, distances;
        literals.Build(literal);
        distances.Build(distance);
        Codes(literals, distances);
    }

    void Dynamic() {
        const size_t literalCount = in_.Bits(5) + 257, distanceCount = in_.Bits(5) + 1, lengthCount = in_.Bits(4) + 4;
        if (literalCount > kLiteralCodes || distanceCount > kDistanceCodes) Fail("the compressed data has a broken code table");
        static constexpr std::array<uint8_t, 19> kOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::array<uint8_t, 19> lengthLengths{};
        for (size_t i = 0; i < lengthCount; ++i) lengthLengths[kOrder[i]] = static_cast<uint8_t>(in_.Bits(3));
        Huffman lengthCode;
        lengthCode.Build(lengthLengths);

        std::array<uint8_t, kLiteralCodes + kDistanceCodes> lengths{};
        const size_t total = literalCount + distanceCount;
        for (size_t i = 0; i < total;) {
            int symbol = lengthCode.Decode(in_);
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t repeated = 0;
            size_t times;
            if (symbol == 16) {
                if (i == 0) Fail("the compressed data repeats a length before the first");
                repeated = lengths[i - 1];
                times = 3 + in_.Bits(2);
            } else if (symbol == 17) {
                times = 3 + in_.Bits(3);
            } else {
                times = 11 + in_.Bits(7);
            }
            if (times > total - i) Fail("the compressed data has a broken code table");
            std::fill_n(lengths.begin() + static_cast<ptrdiff_t>(i), times, repeated);
            i += times;
        }
        if (lengths[256] == 0) Fail("the compressed data has a block without an end");
        Huffman literals, distances;
        literals.Build({lengths.data(), literalCount});
        distances.Build({lengths.data() + literalCount, distanceCount});
        Codes(literals, distances);
    }

    void Codes(const Huffman& literals, const Huffman& distances) {
        for (;;) {
            int symbol = literals.Decode(in_);
            if (symbol < 256) {
                Reserve(1);
                out_.push_back(static_cast<uint8_t>(symbol));
                continue;
            }
            if (symbol == 256) return;
            auto lengthCode = static_cast<size_t>(symbol - 257);
            if (lengthCode >= kLengthBase.size()) Fail("the compressed data holds a code that means nothing");
            size_t length = kLengthBase[lengthCode] + in_.Bits(kLengthExtra[lengthCode]);
            auto distanceCode = static_cast<size_t>(distances.Decode(in_));
            if (distanceCode >= kDistanceBase.size()) Fail("the compressed data holds a code that means nothing");
            size_t distance = kDistanceBase[distanceCode] + in_.Bits(kDistanceExtra[distanceCode]);
            if (distance > out_.size()) Fail("the compressed data refers to bytes before its start");
            Reserve(length);
            // Byte by byte: a copy may overlap what it writes.
            for (size_t from = out_.size() - distance; length > 0; --length) {
                const uint8_t byte = out_[from++];
                out_.push_back(byte);
            }
        }
    }

    BitReader in_;
    size_t size_;
    std::vector<uint8_t> out_;
};

constexpr uint32_t kEndSignature = 0x06054b50, kEntrySignature = 0x02014b50, kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22, kEntrySize = 46, kLocalSize = 30;

// Little-endian fields, read only inside the archive.
class Fields {
public:
    explicit Fields(std::span<const uint8_t> archive) : archive_(archive) {}
    std::span<const uint8_t> At(size_t offset, size_t length) const {
        if (offset > archive_.size() || length > archive_.size() - offset) Fail("the archive is damaged");
        return archive_.subspan(offset, length);
    }
    uint16_t U16(size_t offset) const {
        auto b = At(offset, 2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint32_t U32(size_t offset) const { return U16(offset) | uint32_t{U16(offset + 2)} << 16; }
    size_t Size() const { return archive_.size(); }

private:
    std::span<const uint8_t> archive_;
};

// The end record closes the archive, followed only by its comment.
size_t EndRecord(const Fields& fields) {
    if (fields.Size() < kEndSize) Fail("the archive is damaged");
    const size_t lowest = fields.Size() - kEndSize > 0xFFFF ? fields.Size() - kEndSize - 0xFFFF : 0;
    for (size_t at = fields.Size() - kEndSize;; --at) {
        if (fields.U32(at) == kEndSignature) return at;
        if (at == lowest) Fail("the archive is damaged");
    }
}

std::vector<uint8_t> MemberData(const Fields& fields, size_t entry) {
    const uint16_t flags = fields.U16(entry + 8), method = fields.U16(entry + 10);
    const uint32_t packed = fields.U32(entry + 20), size = fields.U32(entry + 24), local = fields.U32(entry + 42);
    if (flags & 1) Fail("the archive member is encrypted");
    if (fields.U32(local) != kLocalSignature) Fail("the archive is damaged");
    const size_t start = size_t{local} + kLocalSize + fields.U16(local + 26) + fields.U16(local + 28);
    std::span<const uint8_t> data = fields.At(start, packed);
    if (method == 8) return Inflate(data, size);
    if (method != 0) Fail("the archive member is packed in an unknown way");
    if (packed != size) Fail("the archive is damaged");
    return {data.begin(), data.end()};
}

}  // namespace

std::vector<uint8_t> Inflate(std::span<const uint8_t> stream, size_t size) { return Inflater(stream, size).Run(); }

std::optional<std::vector<uint8_t>> ZipMember(std::span<const uint8_t> archive, std::string_view name) {
    const Fields fields(archive);
    const size_t end = EndRecord(fields);
    const uint16_t entries = fields.U16(end + 10);
    size_t entry = fields.U32(end + 16);
    for (uint16_t i = 0; i < entries; ++i) {
        if (fields.U32(entry) != kEntrySignature) Fail("the archive is damaged");
        const uint16_t nameLength = fields.U16(entry + 28);
        std::span<const uint8_t> entryName = fields.At(entry + kEntrySize, nameLength);
        if (std::string_view(reinterpret_cast<const char*>(entryName.data()), entryName.size()) == name)
            return MemberData(fields, entry);
        entry += kEntrySize + nameLength + fields.U16(entry + 30) + fields.U16(entry + 32);
    }
    return std::nullopt;
}

}  // namespace core
