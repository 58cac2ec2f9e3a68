#include "split/piece_name.h"

namespace vpk::split {

std::string PieceDigits(int piece) {
    std::string text = "00" + std::to_string(piece);
    return text.substr(text.size() - 3);
}

std::string PieceNameWithDigits(std::string_view firstPiece, std::string_view digits) {
    const auto nameStart = firstPiece.find_last_of("\\/:");
    const auto dot = firstPiece.rfind('.');
    std::string_view stem = firstPiece;
    if (dot != std::string_view::npos && (nameStart == std::string_view::npos || dot > nameStart)) {
        stem = firstPiece.substr(0, dot);
    }
    std::string name(stem);
    name += '.';
    name += digits;
    return name;
}

std::string PieceName(std::string_view firstPiece, int piece) {
    if (piece == 1) return std::string(firstPiece);
    return PieceNameWithDigits(firstPiece, PieceDigits(piece));
}

int PieceNumberFromDigits(std::string_view digits) {
    if (digits.size() != 3) return -1;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number == 0 ? 1000 : number;
}

}  // namespace vpk::split
