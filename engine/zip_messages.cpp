#include "engine/zip_messages.h"

#include <algorithm>
#include <array>

namespace vpk::zipmsg {

namespace {

struct MessageRow {
    int id;
    const char* text;
};

// Sorted by number so a lookup is a binary search.
constexpr std::array kMessages = {
    MessageRow{10101, "Fatal Error in VpkZip.DLL: abort exception"},
    MessageRow{10102, "Error - no zip file specified!"},
    MessageRow{10103, "Requested memory not available"},
    MessageRow{10150, "Erreur - pas de mot de passe donn\xC3\xA9"},
    MessageRow{10151, "Erreur - pas de mot de passe donn\xC3\xA9"},
    MessageRow{10201, "Seek error reading Zip archive!"},
    MessageRow{10202, "Unknown error in List() function\n"},
    MessageRow{10203, "Warning - Error in zip structure!"},
    MessageRow{10204, "Warning - Garbage at the end of the zipfile!"},
    MessageRow{10301, "Error - no files to zip!"},
    MessageRow{10302, "Unattended action not possible without a password"},
    MessageRow{10304, "Error %.1d occurred during Auto SFX creation."},
    MessageRow{10401, "Error - no files selected for deletion"},
    MessageRow{10501, "Fatal Error in VpkUnz.DLL: abort exception"},
    MessageRow{10502, "Warning - Unattended Extract: possible not all files extracted"},
    MessageRow{10601, "VPKZIP Loaded"},
    MessageRow{10602, "ZipExec function not found in VPKZIP.DLL!"},
    MessageRow{10603, "GetZipVersion function not found in VPKZIP.DLL!"},
    MessageRow{10604, "VPKZIP.DLL not found!"},
    MessageRow{10701, "VPKUNZ Loaded!"},
    MessageRow{10702, "UnzExec function not found in VPKUNZ.DLL!"},
    MessageRow{10703, "GetUnzVersion function not found in VPKUNZ.DLL!"},
    MessageRow{10704, "VPKUNZ.DLL not found!"},
    MessageRow{10801, "Error - On or more of the 4 property strings mentioned below exceeds 255 characters!"},
    MessageRow{10802, "Error - VPKSFX.BIN not found!"},
    MessageRow{10803, "Error: input file is not a zip file"},
    MessageRow{10901, "Error - no .EXE file specified"},
    MessageRow{10902, "Error: input file is not an .EXE file"},
    MessageRow{10903, "Error determining the type of SFX archive"},
    MessageRow{11001, "Input file does not exist"},
    MessageRow{11002, "Zip file could not be opened"},
    MessageRow{11003, "Not a valid drive: %s"},
    MessageRow{11004, "Drive %s is NOT defined"},
    MessageRow{11007, "User canceled operation"},
    MessageRow{11008, "Seek error in input file"},
    MessageRow{11009, "Creation of output file failed"},
    MessageRow{11010, "Write error in output file"},
    MessageRow{11011, "Error while reading the End Of Central Directory"},
    MessageRow{11012, "Error while reading a local header"},
    MessageRow{11013, "Error while reading a central header"},
    MessageRow{11014, "A local header signature is wrong"},
    MessageRow{11015, "A central header signature is wrong"},
    MessageRow{11016, "Error while reading a local file name"},
    MessageRow{11017, "Error while reading a central file name"},
    MessageRow{11018, "Error while reading a local extra field"},
    MessageRow{11019, "Error while reading a central extra field"},
    MessageRow{11020, "Error while reading/writing a data descriptor area"},
    MessageRow{11021, "Error while reading zipped data"},
    MessageRow{11022, "Error while reading a file comment"},
    MessageRow{11023, "Error while reading the archive comment"},
    MessageRow{11024, "UnKnown error in function ReadSpan(), WriteSpan(), Rename() or CopyZippedFiles()\n"},
    MessageRow{11025, "Unattended disk spanning not implemented"},
    MessageRow{11026, "A local header not found in internal structure"},
    MessageRow{11027, "Temporary file could not be created"},
    MessageRow{11028, "Error while writing a local header"},
    MessageRow{11029, "Error while writing a central header"},
    MessageRow{11030, "Error while writing the End Of Central Directory"},
    MessageRow{11031, "Error while reading a Extended Local signature"},
    MessageRow{11036, "This archive is not a valid Zip archive"},
    MessageRow{11037, "This is the first disk in a backup set,\nplease insert the last disk of this set"},
    MessageRow{11038, "This is the %dth disk in a backup set,\nplease insert the last disk of this set"},
    MessageRow{11045, "This is the first file in a backup set,\nplease choose the last file of this set"},
    MessageRow{11047, "The central directory lies outside the archive"},
};

static_assert(std::is_sorted(kMessages.begin(), kMessages.end(),
                             [](const MessageRow& a, const MessageRow& b) { return a.id < b.id; }));

const MessageRow* Find(int id) {
    auto it = std::lower_bound(kMessages.begin(), kMessages.end(), id,
                               [](const MessageRow& row, int wanted) { return row.id < wanted; });
    return it != kMessages.end() && it->id == id ? &*it : nullptr;
}

}  // namespace

std::string ZipMessageText(int id) {
    if (const MessageRow* row = Find(id)) return row->text;
    return "The message table is probably not linked to the executable\nMissing String ID is: " +
           std::to_string(id);
}

bool HasZipMessage(int id) {
    return Find(id) != nullptr;
}

}  // namespace vpk::zipmsg
