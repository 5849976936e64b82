// Records and image files turned into files a user can open.
#include "pictures/picture_export.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"
#include "picture_test_data.h"
#include "pictures/gif_reader.h"
#include "pictures/image_error.h"
#include "pictures/pcx_reader.h"

namespace {

TEST(PictureExport, BitmapRecordsBecomeBmpFilesWhateverTheirDataHolds) {
    const std::vector<uint8_t> gif = ReadData("gif_5x3.gif");
    const std::vector<uint8_t> pcx = ReadData("pcx2_packed.pcx");
    const std::vector<uint8_t> bmp = ReadData("bmp24_5x3.bmp");
    EXPECT_EQ(BitmapRecordToBmp({"TGIFBitmap", gif}), GifToBmp(gif.data(), gif.size()));
    EXPECT_EQ(BitmapRecordToBmp({"TPCXBitmap", pcx}), PcxToBmp(pcx.data(), pcx.size()));
    EXPECT_EQ(BitmapRecordToBmp({"TGIFBitmap", bmp}), bmp);  // what a bitmap class writes of itself
    EXPECT_EQ(FailureId([] { BitmapRecordToBmp({"TBitmap", {1, 2, 3}}); }), sid::InvalidBitmap);
}

TEST(PictureExport, FileExtensionsByClassAndContent) {
    std::vector<uint8_t> emf(44, 0);
    emf[0] = 1;
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    struct TCase {
        TImageRecord Record;
        const char* Ext;
    };
    const TCase cases[] = {
        {{"TBitmap", {}}, ".bmp"},     {{"TRLEBitmap", {}}, ".bmp"}, {{"TStretchIcon", {}}, ".ico"},
        {{"TIcon", {}}, ".ico"},       {{"TCursorIcon", {}}, ".cur"}, {{"TMetafile", emf}, ".emf"},
        {{"TMetafile", {1, 2}}, ".wmf"},
    };
    for (const TCase& c : cases) EXPECT_EQ(RecordFileExt(c.Record), c.Ext) << c.Record.ClassName;
}

TEST(PictureExport, ImageFilesByExtension) {
    EXPECT_EQ(ImageFileToBmp(DataPath("bmp8_rle_5x3.rle")), ReadData("bmp8_rle_5x3.rle"));
    const std::vector<uint8_t> gif = ReadData("gif_1x1.gif");
    EXPECT_EQ(ImageFileToBmp(DataPath("gif_1x1.gif")), GifToBmp(gif.data(), gif.size()));
    EXPECT_EQ(FailureId([] { ImageFileToBmp(DataPath("src.ppm")); }), sid::UnknownPictureExtension);
    EXPECT_EQ(FailureId([] { ImageFileToBmp(DataPath("absent.gif")); }), sid::FOpenError);
}

}  // namespace
