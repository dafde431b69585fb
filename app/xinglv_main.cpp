// The program's entry point. Built with the GUI subsystem; mingw's start-up calls main.
#include "platform/win32/plain_window.h"

int main() { return xl::win32::RunPlainWindow("星律纪元代码修改器", 400, 250); }
