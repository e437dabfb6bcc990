// SPDX-License-Identifier: Apache-2.0
#include "ui/support/WindowTestKit.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <fstream>
#include <sstream>

#include "common/PosixCalls.h"

namespace tavrin {

WindowTestKit::WindowTestKit() : savedDirectory_(QDir::currentPath()) {
    QDir::setCurrent(QString::fromStdString(folder.Path().string()));
}

WindowTestKit::~WindowTestKit() {
    window_.reset();
    QDir::setCurrent(savedDirectory_);
}

CTavrinDlg& WindowTestKit::OpenWindow() {
    window_ = std::make_unique<CTavrinDlg>(operationSettings, hardwareSettings, bankInfo, prompts);
    return *window_;
}

std::string WindowTestKit::DefaultSettingsPath() const {
    return (folder.Path() / "TAVRINDEFAULT.tvs").string();
}

std::string WindowTestKit::WriteSettings(const std::string& name, const std::string& keyLines) const {
    std::string text = "[Settings]\n" + keyLines;
    return folder.Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string WindowTestKit::ReadFile(const std::string& path) const {
    return ReadWholeFile(path).value_or("");
}

int WindowTestKit::AddCard(const std::string& name, uint64_t sectors) {
    drives.AddDisk(name, sectors, /*removable=*/true, /*sdCard=*/true);
    return drives.DriveNumber(name);
}

namespace {

std::vector<uint8_t> Pattern(size_t bytes, uint8_t seed) {
    std::vector<uint8_t> data(bytes);
    uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : data) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return data;
}

}  // namespace

std::string WindowTestKit::MakeRbf(const std::string& name, size_t bytes, uint8_t seed) const {
    return folder.Write(name, Pattern(bytes, seed));
}

std::string WindowTestKit::MakeBit(const std::string& name, size_t dataBytes, uint8_t seed) const {
    std::vector<uint8_t> file = {0x00, 0x09, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x00, 0x00, 0x01};
    for (int i = 0; i < 8; ++i) file.push_back(0xFF);
    for (uint8_t b : {0xAA, 0x99, 0x55, 0x66}) file.push_back(b);
    std::vector<uint8_t> data = Pattern(dataBytes, seed);
    file.insert(file.end(), data.begin(), data.end());
    return folder.Write(name, file);
}

QStringList WindowTestKit::MenuTexts(const char* menuName) const {
    QStringList texts;
    auto* menu = window_->findChild<QMenu*>(menuName);
    if (menu == nullptr) return texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? QString("-") : action->text());
    return texts;
}

}  // namespace tavrin
