#pragma once
// The report of an environmental failure that ends the program: a message box without
// owner, captioned "错误", with the error icon and one OK button.
#include <cstddef>
#include <string>

namespace tomeferry::ui {

// "运行时出错!\r\n\r\n错误信息：" + message + "\r\n", GBK.
std::string fatalErrorText(const std::string& message);

// Shows the report for the GBK `message` and returns once it is dismissed. Called from a
// thread other than the application's, the box is shown by the application's thread.
void showFatalError(const std::string& message);

// Shows the report, then ends the process with exit code -1. Never returns.
[[noreturn]] void failFatally(const std::string& message);

// The messages of the failures that end the program, GBK.
std::string missingPluginFunctionMessage(const std::string& library, const std::string& function);
std::string windowCreationFailedMessage();
std::string allocationFailedMessage(std::size_t bytes);

}  // namespace tomeferry::ui
