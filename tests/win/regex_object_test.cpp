// The portable cases over the system's "VBScript.RegExp" component.
#include "native/regex_object_test.cpp"
