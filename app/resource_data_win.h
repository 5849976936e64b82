// Data resources of the program for the node streams: the reader that LoadFromResource uses,
// over the RCDATA resources of the active resource module and then of the program itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True and the bytes when the data resource Name exists.
bool ReadDataResource(const std::string& name, std::vector<uint8_t>& data);
// Makes ReadDataResource the node streams' resource reader.
void InstallResourceReader();
