// Sample contents of the three files whose bytes must not depend on the build: a quick-text
// library (.STD), a configuration (.CFG) and a picture list (.PIL). The native tests write them
// with the portable writers and keep the result in tests/formats/data; the Windows tests write
// the same contents with the program's own code, in every build, and compare the bytes.
#pragma once

#include <memory>
#include <string>

#include "app/text_node.h"
#include "config/config_node.h"
#include "pictures/picture_file.h"

// The node classes of the library and the configuration, for writing and reading the samples.
void RegisterSampleClasses();
// Groups and items with German texts, RTF data (one empty), states, symbols and options.
std::unique_ptr<TTextNode> MakeSampleLibrary();
// Settings of every value kind below "Standard\", in two windows' sections.
std::unique_ptr<TConfigRootNode> MakeSampleConfiguration();
// A named list with a tag, bounds, a default option and three entries: two bitmaps and an
// icon, each with its own options.
TPictureFile MakeSamplePictureFile();

// The file names of the kept samples.
inline const char* SampleLibraryName = "sample.STD";
inline const char* SampleConfigurationName = "sample.CFG";
inline const char* SamplePictureFileName = "sample.PIL";
