// The named conversions of the image field table: the algorithms that
// place fields which are not a plain run of bits or codes. Encoding halves
// live in ImageEncoder.cpp, decoding halves in ImageDecoder.cpp.
#pragma once

#include "image/ImageFields.h"

namespace ks340::conversions {

#define KS340_CONVERSION(name)                                                          \
    void encode##name(const ImageField& field, const RadioSettings& s, MemoryImage& m); \
    void decode##name(const ImageField& field, const MemoryImage& m, RadioSettings& s);

KS340_CONVERSION(ChannelRecords)  // records 1..208 (prepared by prepareChannelImage)
KS340_CONVERSION(GroupTable)      // group flags, records, marks, range, programmed bitmap
KS340_CONVERSION(ScanBitmaps)     // scanMask (and scanMask2 read back)
KS340_CONVERSION(Labels)          // channel labels packed in group order
KS340_CONVERSION(ToneSet)         // the set; a built-in set read back brings its tones
KS340_CONVERSION(ToneSequence)    // eight tone digits with the repeat tone
KS340_CONVERSION(UserTone)        // four digits packed in nibbles
KS340_CONVERSION(Logo)            // right-aligned display codes

#undef KS340_CONVERSION

// Derived for the radio only.
void encodeScanGroupMarks(const ImageField& field, const RadioSettings& s, MemoryImage& m);
void encodeToneCycles(const ImageField& field, const RadioSettings& s, MemoryImage& m);
void encodeDecodeDuration(const ImageField& field, const RadioSettings& s, MemoryImage& m);
void encodeLightKeyAbsent(const ImageField& field, const RadioSettings& s, MemoryImage& m);

}  // namespace ks340::conversions
