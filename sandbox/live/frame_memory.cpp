// A frame is remembered as the bytes that decide its pixels: the screen size, and per draw list its
// vertices, indices and commands (clip rectangle, texture, offsets, count).
#include "sandbox/live/frame_memory.h"

#include <cstring>

namespace sandbox::live {
namespace {

template <typename T>
void append(std::vector<unsigned char>& bytes, const T* values, std::size_t count) {
    // resize and memcpy rather than a range insert: GCC 12 at -O3 misreads the latter's bounds.
    const std::size_t start = bytes.size();
    bytes.resize(start + count * sizeof(T));
    if (count > 0) std::memcpy(bytes.data() + start, values, count * sizeof(T));
}

}  // namespace

bool FrameMemory::sameAsLast(const ImDrawData* drawData, int width, int height) {
    current_.clear();
    const int size[2] = {width, height};
    append(current_, size, 2);
    for (int list = 0; drawData && list < drawData->CmdListsCount; ++list) {
        const ImDrawList& drawList = *drawData->CmdLists[list];
        append(current_, drawList.VtxBuffer.Data, static_cast<std::size_t>(drawList.VtxBuffer.Size));
        append(current_, drawList.IdxBuffer.Data, static_cast<std::size_t>(drawList.IdxBuffer.Size));
        for (const ImDrawCmd& command : drawList.CmdBuffer) {
            append(current_, &command.ClipRect, 1);
            append(current_, &command.TextureId, 1);
            const unsigned int counts[3] = {command.VtxOffset, command.IdxOffset, command.ElemCount};
            append(current_, counts, 3);
            const bool hasCallback = command.UserCallback != nullptr;
            append(current_, &hasCallback, 1);
        }
    }
    const bool same = current_ == last_;
    last_.swap(current_);
    return same;
}

}  // namespace sandbox::live
