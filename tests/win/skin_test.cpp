// The login-style install over the Windows file layer: real read-only attributes, UTF-16
// paths, the documents folder left clean.
#include "native/skin_test.cpp"
