#pragma once
// Query files (".vpk"): one query in section "divers", its include list in "add" and its exclude list
// in "exc" (keys "1", "2", ...), its schedule line as key "1" of "RunService". The sections
// "application", "RunBeforeAdd", "RunBeforeDel" and every key not named here are never touched by a
// rewrite.
#include <string>
#include <string_view>
#include <vector>

#include "model/query_entry.h"
#include "model/query_record.h"

namespace vpk {

struct QueryFileContent {
    // "divers"; its "subdir" and "storepath" are the flags of include entries that carry none.
    QueryRecord query;
    std::vector<std::string> includes;  // stored values in list order, entry flags included
    std::vector<std::string> excludes;
    std::string applicationName;    // "application" "NameExeVpk"
    std::string applicationFolder;  // "application" "PatchExeVpk": where relative entries start
    std::string runBeforeAdd;       // "RunBeforeAdd" "ToRun"
    std::string runBeforeDel;       // "RunBeforeDel" "ToDel"

    EntryFlags InitialEntryFlags() const { return {query.storepath, query.subdir}; }
    std::vector<std::string> FullIncludes() const { return FullEntries(includes, applicationFolder); }
    std::vector<std::string> FullExcludes() const { return FullEntries(excludes, applicationFolder); }
};

// Reads a query file with the reader's defaults; a missing file gives every default and empty
// lists. settingsFile (vortipak.ini) supplies the wizard's destination history.
QueryFileContent ReadVpk(std::string_view path, QueryReader reader, std::string_view settingsFile,
                         const QueryTexts& texts = {});
// Writes what the wizard edits, in its order, and updates the query-file schedule list of
// settingsFile. "scmd" is written only while "runfile" is set. A refused write raises and leaves
// what was written before it.
void WriteVPK(std::string_view path, const QueryFileContent& content, std::string_view settingsFile);
// The backup program's one write: the folder where it found the application.
void WriteApplicationFolder(std::string_view path, std::string_view folder);
// Deletes the file; its schedule line stays in the list. False when it could not be deleted.
bool DeleteQueryFile(std::string_view path);

}  // namespace vpk
