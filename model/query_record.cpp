#include "model/query_record.h"

#include "model/path_routines.h"

namespace vpk {

namespace {

constexpr int kIconIndexMissing = 9999;

}  // namespace

QueryRecord DefaultQuery(QueryReader reader, const QueryTexts& texts) {
    QueryRecord query;
    if (reader == QueryReader::Backup) {
        query.arch = "NoName";
        query.dest = "C:\\";
        query.stitre = texts.sfxTitle;
        query.icoIndex = kIconIndexMissing;
    } else {
        query.iconame = ProgramFolder() + "icones.dll";
    }
    return query;
}

int EffectiveIconIndex(const QueryRecord& query) {
    if (query.icoIndex != kIconIndexMissing) return query.icoIndex;
    return query.sfx ? 1 : 0;
}

std::string SpathShown(std::string_view stored, std::string_view askFolder) {
    if (stored == "><" && !askFolder.empty()) return std::string(askFolder);
    return std::string(stored);
}

std::string SpathStored(std::string_view shown, std::string_view askFolder) {
    if (!askFolder.empty() && shown.find(askFolder) != std::string_view::npos) return "><";
    return std::string(shown);
}

}  // namespace vpk
