// Remembers what the last frame put on screen, so the live window can leave an unchanged picture
// where it is instead of drawing and presenting it again: an idle overlay then costs almost nothing.
#pragma once

#include <vector>

#include <imgui.h>

namespace sandbox::live {

class FrameMemory {
public:
    // True when this frame would draw exactly what the last one did on a screen of the same size;
    // either way it becomes the frame remembered.
    bool sameAsLast(const ImDrawData* drawData, int width, int height);
    void forget() { last_.clear(); }  // the window needs drawing whatever comes (it was uncovered)

private:
    std::vector<unsigned char> last_;
    std::vector<unsigned char> current_;
};

}  // namespace sandbox::live
