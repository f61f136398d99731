// Lists what the loaded overlay draws, primitive by primitive, in a form two builds of the module can
// be compared by: every cap, text glyph and middle-strip part as its vertices, colours and indices,
// and each rounded mouse button as its rectangle, rounded corner, radius and colour. Texture
// coordinates are left out, since each library release packs its font atlas its own way, and so is
// the number of segments a rounded corner is divided into.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "support/overlay_frame.h"

namespace {

void listQuad(const ImDrawList& list, int firstVertex, int firstIndex) {
    std::printf("quad");
    for (int i = 0; i < 4; ++i) {
        const ImDrawVert& v = list.VtxBuffer[firstVertex + i];
        std::printf(" (%a, %a) %08x", static_cast<double>(v.pos.x), static_cast<double>(v.pos.y), v.col);
    }
    std::printf(" |");
    for (int i = 0; i < 6; ++i) std::printf(" %d", static_cast<int>(list.IdxBuffer[firstIndex + i]) - firstVertex);
    std::printf("\n");
}

// An anti-aliased convex fill holds each outline point as an inner and an outer vertex, half a
// pixel either side of it: their midpoints give the outline back.
void listRoundedRect(const ImDrawList& list, int firstVertex, int vertexCount) {
    std::vector<ImVec2> outline;
    for (int i = firstVertex; i + 1 < firstVertex + vertexCount; i += 2) {
        const ImVec2 inner = list.VtxBuffer[i].pos, outer = list.VtxBuffer[i + 1].pos;
        outline.emplace_back((inner.x + outer.x) * 0.5f, (inner.y + outer.y) * 0.5f);
    }
    ImVec2 min = outline[0], max = outline[0];
    for (const ImVec2& p : outline) {
        min = ImVec2(std::min(min.x, p.x), std::min(min.y, p.y));
        max = ImVec2(std::max(max.x, p.x), std::max(max.y, p.y));
    }
    auto near = [](float a, float b) { return std::abs(a - b) < 1e-3f; };
    auto hasPoint = [&](float x, float y) {
        return std::any_of(outline.begin(), outline.end(), [&](ImVec2 p) { return near(p.x, x) && near(p.y, y); });
    };
    // The corner the outline cuts, and how far along the top edge its arc begins.
    const bool topLeft = !hasPoint(min.x, min.y);
    const bool topRight = !hasPoint(max.x, min.y);
    const char* corner = topLeft ? "top-left" : topRight ? "top-right" : "none";
    float radius = 0.0f;
    for (const ImVec2& p : outline) {
        if (!near(p.y, min.y)) continue;
        const float fromCorner = topLeft ? p.x - min.x : max.x - p.x;
        if (fromCorner > 1e-3f && (radius == 0.0f || fromCorner < radius)) radius = fromCorner;
    }
    std::printf("rounded (%.3f, %.3f) (%.3f, %.3f) %08x %s radius %.3f\n", static_cast<double>(min.x),
                static_cast<double>(min.y), static_cast<double>(max.x), static_cast<double>(max.y),
                list.VtxBuffer[firstVertex].col, corner, static_cast<double>(radius));
}

// Primitives are appended one after another, each with its own run of vertices: a triangle that
// starts past the current run's last vertex starts the next primitive.
void listPrimitives(const ImDrawList& list) {
    int first = 0, firstIndex = 0, last = -1;
    auto flush = [&](int endIndex) {
        const int count = last - first + 1;
        if (count == 4 && endIndex - firstIndex == 6) {
            listQuad(list, first, firstIndex);
        } else if (count > 0) {
            listRoundedRect(list, first, count);
        }
    };
    for (int i = 0; i < list.IdxBuffer.Size; i += 3) {
        const int lowest = std::min({list.IdxBuffer[i], list.IdxBuffer[i + 1], list.IdxBuffer[i + 2]});
        const int highest = std::max({list.IdxBuffer[i], list.IdxBuffer[i + 1], list.IdxBuffer[i + 2]});
        if (lowest > last) {
            flush(i);
            first = lowest;
            firstIndex = i;
        }
        last = std::max(last, highest);
    }
    flush(list.IdxBuffer.Size);
}

}  // namespace

int main() {
    const std::vector<std::set<std::string>> heldSets{{},
                                                      {"A", "LeftMouseButton", "SpaceBar"},
                                                      {"One", "Tab", "CapsLock", "LeftShift", "LeftControl", "LeftAlt",
                                                       "MiddleMouseButton", "RightMouseButton", "V"}};
    for (const char* scale : {"1", "0.75", "2", "1.01"}) {
        testsupport::OverlaySession session;
        if (!session.host.execute(std::string("kvanescale ") + scale).ok) return 1;
        for (const auto& held : heldSets) {
            for (const auto& key : sandbox::Host::keyNames()) session.host.setKeyHeld(key, held.count(key) > 0);
            session.host.fireEvent(testsupport::kTickEvent);
            session.frame();
            if (!session.drawnInLastFrame()) return 1;
            std::printf("scale %s, %zu keys held\n", scale, held.size());
            listPrimitives(*session.window()->DrawList);
        }
    }
    return 0;
}
