// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ZSTD_CCtx_s;
struct ZSTD_DCtx_s;

// Bytes kept packed with zstd, in blocks of about blockSize: the parts of
// numbered records (record numbers rise as parts are appended), appended to
// the open block and read back a whole block at a time. A block that cannot
// be packed is kept as it is.
class PackedTexts
{
public:
    struct Block
    {
        std::string bytes;
        std::size_t size = 0; // unpacked
        bool packed = false;
        // The records whose parts the block holds, in order: first..end-1.
        std::uint32_t first = 0;
        std::uint32_t end = 0;
    };
    static constexpr std::size_t blockSize = std::size_t(256) << 10;

    PackedTexts() = default;
    ~PackedTexts();
    PackedTexts(PackedTexts const&) = delete;
    PackedTexts& operator=(PackedTexts const&) = delete;

    // Record r's part is appended to open() next.
    void begin(std::uint32_t r);
    std::string& open() { return filling; }
    // Packs the open block, which ends with record end - 1: when it is full,
    // or at all (last).
    void close(std::uint32_t end, bool last);

    std::vector<Block> const& blocks() const { return packedBlocks; }
    // Block b as it was appended; false when it cannot be unpacked. The view
    // lasts until the next call.
    bool unpack(std::size_t b, std::string_view& whole);
    // The packed blocks' size in bytes.
    std::size_t size() const { return bytes; }

private:
    std::string filling;
    std::uint32_t fillingFirst = 0;
    std::vector<Block> packedBlocks;
    std::size_t bytes = 0;
    std::string scratch; // a block packed, while it is packed
    std::string unpacked; // a block, while it is read
    ZSTD_CCtx_s* packer = nullptr;
    ZSTD_DCtx_s* unpacker = nullptr;
};
