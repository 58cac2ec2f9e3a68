#pragma once
// Names of the pieces of a container: piece 1 keeps the name given, piece k >= 2 gets the extension
// ".kkk" (three digits) in place of the first piece's extension.
#include <string>
#include <string_view>

namespace vpk::split {

// The three digits of piece k: the last three characters of "00" followed by k.
std::string PieceDigits(int piece);
// firstPiece with its extension (after the last '.' of the file-name part, or none) replaced by
// "." + digits.
std::string PieceNameWithDigits(std::string_view firstPiece, std::string_view digits);
// The name of piece k (k == 1 gives firstPiece itself).
std::string PieceName(std::string_view firstPiece, int piece);

// The piece number of three decimal digits as read from a piece-change record; "000" is the piece
// after 999 in containers that went that far. -1 when the text is not three digits.
int PieceNumberFromDigits(std::string_view digits);

}  // namespace vpk::split
