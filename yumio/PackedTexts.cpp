// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/PackedTexts.h"

#include <zstd.h>

PackedTexts::~PackedTexts()
{
    ZSTD_freeCCtx(packer);
    ZSTD_freeDCtx(unpacker);
}

void PackedTexts::begin(std::uint32_t r)
{
    if (filling.empty())
        fillingFirst = r;
}

void PackedTexts::close(std::uint32_t end, bool last)
{
    if (!filling.empty() && (last || filling.size() >= blockSize)) {
        Block block;
        block.size = filling.size();
        block.first = fillingFirst;
        block.end = end;
        if (!packer)
            packer = ZSTD_createCCtx();
        scratch.resize(ZSTD_compressBound(filling.size()));
        // The fastest level: the texts are packed while the first Search
        // waits for them, and unpacked as fast at any level.
        std::size_t const packed = packer ? ZSTD_compressCCtx(packer, &scratch[0], scratch.size(),
                                       filling.data(), filling.size(), 1)
                                          : 0;
        block.packed = packer && !ZSTD_isError(packed);
        block.bytes.assign(
            block.packed ? scratch.data() : filling.data(), block.packed ? packed : filling.size());
        bytes += block.bytes.size();
        packedBlocks.push_back(std::move(block));
        filling.clear();
    }
    if (last) {
        // Until more is gathered: nothing but the blocks.
        filling = std::string();
        scratch = std::string();
        ZSTD_freeCCtx(packer);
        packer = nullptr;
    }
}

bool PackedTexts::unpack(std::size_t b, std::string_view& whole)
{
    if (b >= packedBlocks.size())
        return false;
    Block const& block = packedBlocks[b];
    if (!block.packed) {
        whole = block.bytes;
        return true;
    }
    if (!unpacker)
        unpacker = ZSTD_createDCtx();
    unpacked.resize(block.size);
    std::size_t const size = unpacker ? ZSTD_decompressDCtx(unpacker, &unpacked[0], unpacked.size(),
                                 block.bytes.data(), block.bytes.size())
                                      : 0;
    if (!unpacker || ZSTD_isError(size) || size != block.size)
        return false;
    whole = unpacked;
    return true;
}
