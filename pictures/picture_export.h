// Pictures as files a user can open: image files (GIF, PCX, RLE, DIB, BMP) converted into BMP
// files by the portable readers, the records of a picture list written out one file each, and
// a listing of a .PIL file's records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/picture_file.h"

// The BMP file of the image file FileName, chosen by its extension: GIF and PCX are converted,
// BMP, RLE and DIB files are checked and taken as they are. Raises EInvalidImage with the
// reader's message for a bad file, and with 65349 ("Unbekannte Bilddateierweiterung (.%s)")
// for another extension.
std::vector<uint8_t> ImageFileToBmp(const std::string& fileName);

// The BMP file a bitmap record stands for. A bitmap class writes itself as a BMP file, but a
// record whose data is still a GIF or PCX file is converted. Raises EInvalidImage for data that
// is none of these.
std::vector<uint8_t> BitmapRecordToBmp(const TImageRecord& record);

// The extension (with dot) under which a record's picture is written out: ".bmp" for the
// bitmap classes, ".ico" for icons, ".cur" for cursors, ".emf" or ".wmf" for metafiles.
std::string RecordFileExt(const TImageRecord& record);

// The picture's size in pixels from its data (BMP or icon header); false when it cannot be told.
bool RecordPictureSize(const TImageRecord& record, int& width, int& height);

// One line per record of the file in file order: ID, resource ID, options, class, data size
// and picture size; records that a loading list drops are marked. Raises the reading errors.
std::string ListPictureFile(const std::string& fileName);

// Writes the picture of every record that has one into Folder (which must exist) as
// "<n>_ID<id><ext>", n counting the records from 1. Returns the number of files written.
int ExtractPictures(const std::string& fileName, const std::string& folder);
