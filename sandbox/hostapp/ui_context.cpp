// The host's Dear ImGui context and its frame loop.
#include "sandbox/hostapp/ui_context.h"

namespace sandbox {

UiContext::UiContext(ImVec2 displaySize, std::optional<std::filesystem::path> settingsFile)
    : settingsFile_(std::move(settingsFile)) {
    context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(context_);
    ImGui::StyleColorsDark();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = displaySize;
    if (settingsFile_) {
        settingsFileText_ = std::filesystem::absolute(*settingsFile_).string();
        io.IniFilename = settingsFileText_.c_str();
    } else {
        io.IniFilename = nullptr;
    }
    // A frame needs the font atlas built; a renderer uploads the same pixels later.
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
}

UiContext::~UiContext() {
    // Destroying the context writes the window settings file when it has one.
    ImGui::DestroyContext(context_);
}

ImVec2 UiContext::displaySize() const {
    ImGui::SetCurrentContext(context_);
    return ImGui::GetIO().DisplaySize;
}

void UiContext::setDisplaySize(ImVec2 size) {
    ImGui::SetCurrentContext(context_);
    ImGui::GetIO().DisplaySize = size;
}

void UiContext::setMouse(ImVec2 position, bool leftButtonDown) {
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = position;
    io.MouseDown[0] = leftButtonDown;
}

ImDrawData* UiContext::frame(Host& host, float deltaSeconds) {
    ImGui::SetCurrentContext(context_);
    ImGui::GetIO().DeltaTime = deltaSeconds > 0 ? deltaSeconds : 1.0f / 60.0f;
    ImGui::NewFrame();
    host.drawWindows();
    ImGui::Render();
    return ImGui::GetDrawData();
}

}  // namespace sandbox
