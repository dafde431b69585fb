// The start window's handlers and the folder lister over the Windows file layer: the
// same cases as natively (GBK names, subfolders, order, unreadable replays).
#include "native/shell_test.cpp"
