// SPDX-License-Identifier: GPL-3.0-or-later
// The two key-press rules on their own, over every character code.

#include "key_filters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

// Records messages together with the key code as it stood when the message appeared.
class RecordingForm : public brevan::FormView {
public:
    const std::int16_t* watchedCode = nullptr;
    std::vector<std::string> messages;
    std::vector<std::int16_t> codeAtMessage;

    std::string text(brevan::Control) const override { return " "; }
    void setText(brevan::Control, const std::string&) override {}
    void setEnabled(brevan::Control, bool) override {}
    void setVisible(brevan::Control, bool) override {}
    void showMessage(const std::string& message) override {
        messages.push_back(message);
        codeAtMessage.push_back(watchedCode != nullptr ? *watchedCode : std::int16_t{-1});
    }
    std::string decimalSeparator() const override { return "."; }
};

bool numericAccepts(int code) {
    return code == 8 || code == 46 || (code >= 48 && code <= 57);
}

TEST(KeyRules, NumericFilterPassesExactlyDigitsFullStopAndBackspace) {
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code) {
        RecordingForm form;
        auto keyAscii = static_cast<std::int16_t>(code);
        form.watchedCode = &keyAscii;
        brevan::NumericKeyFilter(keyAscii, form);
        if (numericAccepts(code)) {
            ASSERT_EQ(keyAscii, code);
            ASSERT_TRUE(form.messages.empty()) << code;
        } else {
            ASSERT_EQ(keyAscii, 0) << code;
            ASSERT_EQ(form.messages, std::vector<std::string>{"Type only numbers"}) << code;
            // Discarded before the message appears, so closing it cannot let the key through.
            ASSERT_EQ(form.codeAtMessage.front(), 0) << code;
        }
    }
}

TEST(KeyRules, ReadOnlyFilterDiscardsEverything) {
    for (const int code : {8, 13, 46, 48, 57, 65, 127, 0x7fff, -1}) {
        auto keyAscii = static_cast<std::int16_t>(code);
        brevan::ReadOnlyKeyFilter(keyAscii);
        EXPECT_EQ(keyAscii, 0) << code;
    }
}

} // namespace
