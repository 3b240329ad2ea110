#pragma once

#include <QString>

#include <iosfwd>

// How gtest shows Qt values in failure messages: without this a QString prints as the raw
// bytes of the object. Found by argument-dependent lookup, so it stays in the global
// namespace, and every test file that compares these values includes it, so all of a test
// program prints them alike.
void PrintTo(const QString& text, std::ostream* out);
