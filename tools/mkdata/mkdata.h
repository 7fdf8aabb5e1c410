// The sample-data builder: one writer per data format, each adding its files
// to the data set in the output folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes `size` bytes to DIR/name, creating DIR. 0 on success; prints the
// reason and returns -1 on failure.
int mkdata_WriteFile(const std::string& dir, const std::string& name, const void* data, size_t size);
int mkdata_WriteFile(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes);
int mkdata_WriteText(const std::string& dir, const std::string& name, const std::string& text);
