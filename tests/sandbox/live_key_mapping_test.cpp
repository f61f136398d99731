// The live window's keys: letters follow the keyboard layout, everything else its position, and
// every name handed to the host is one the host knows.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "sandbox/live/key_mapping.h"
#include "sandbox/pluginsdk/host.h"

using sandbox::live::gameKeyName;
using sandbox::live::gameMouseButtonName;

TEST(LiveKeys, LettersAreNamedByTheCharacterTheLayoutPrints) {
    // On AZERTY the key at the US "Q" position prints "a", the US ";" position prints "m".
    EXPECT_EQ(gameKeyName(GLFW_KEY_Q, "a"), "A");
    EXPECT_EQ(gameKeyName(GLFW_KEY_A, "q"), "Q");
    EXPECT_EQ(gameKeyName(GLFW_KEY_W, "z"), "Z");
    EXPECT_EQ(gameKeyName(GLFW_KEY_Z, "w"), "W");
    EXPECT_EQ(gameKeyName(GLFW_KEY_SEMICOLON, "m"), "M");
    EXPECT_EQ(gameKeyName(GLFW_KEY_M, ","), "");
    // On QWERTY each letter is itself; without layout information the US position is used.
    EXPECT_EQ(gameKeyName(GLFW_KEY_E, "e"), "E");
    EXPECT_EQ(gameKeyName(GLFW_KEY_R, nullptr), "R");
    EXPECT_EQ(gameKeyName(GLFW_KEY_SEMICOLON, nullptr), "");
}

TEST(LiveKeys, TheNumberRowAndModifiersAreNamedByPositionWhateverTheLayoutPrints) {
    // AZERTY prints & é " ' ( on the first five number keys; the game still calls them One..Five.
    EXPECT_EQ(gameKeyName(GLFW_KEY_1, "&"), "One");
    EXPECT_EQ(gameKeyName(GLFW_KEY_2, "\xc3\xa9"), "Two");
    EXPECT_EQ(gameKeyName(GLFW_KEY_5, "("), "Five");
    EXPECT_EQ(gameKeyName(GLFW_KEY_0, nullptr), "Zero");
    EXPECT_EQ(gameKeyName(GLFW_KEY_TAB, nullptr), "Tab");
    EXPECT_EQ(gameKeyName(GLFW_KEY_CAPS_LOCK, nullptr), "CapsLock");
    EXPECT_EQ(gameKeyName(GLFW_KEY_LEFT_SHIFT, nullptr), "LeftShift");
    EXPECT_EQ(gameKeyName(GLFW_KEY_LEFT_CONTROL, nullptr), "LeftControl");
    EXPECT_EQ(gameKeyName(GLFW_KEY_LEFT_ALT, nullptr), "LeftAlt");
    EXPECT_EQ(gameKeyName(GLFW_KEY_SPACE, " "), "SpaceBar");
    EXPECT_EQ(gameKeyName(GLFW_KEY_F12, nullptr), "F12");
    EXPECT_EQ(gameKeyName(GLFW_KEY_PRINT_SCREEN, nullptr), "");
}

TEST(LiveKeys, MouseButtonsAreTheGamesFive) {
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_LEFT), "LeftMouseButton");
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_MIDDLE), "MiddleMouseButton");
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_RIGHT), "RightMouseButton");
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_4), "ThumbMouseButton");
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_5), "ThumbMouseButton2");
    EXPECT_EQ(gameMouseButtonName(GLFW_MOUSE_BUTTON_8), "");
}

TEST(LiveKeys, EveryNameTheWindowCanProduceIsKnownToTheHost) {
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
        const std::string name = gameKeyName(key, nullptr);
        if (!name.empty()) {
            EXPECT_GT(sandbox::Host::keyIndex(name), 0) << "GLFW key " << key << " -> " << name;
        }
    }
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const char layout[2] = {letter, '\0'};
        EXPECT_GT(sandbox::Host::keyIndex(gameKeyName(GLFW_KEY_COMMA, layout)), 0) << letter;
    }
    for (int button = GLFW_MOUSE_BUTTON_1; button <= GLFW_MOUSE_BUTTON_LAST; ++button) {
        const std::string name = gameMouseButtonName(button);
        if (!name.empty()) {
            EXPECT_GT(sandbox::Host::keyIndex(name), 0) << name;
        }
    }
}
