// Opening and saving replays over the Windows file layer: the same cases as natively.
#include "native/document_test.cpp"
