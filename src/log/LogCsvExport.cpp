#include "log/LogCsvExport.h"

#include "log/LogFile.h"
#include "log/Logform.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {

namespace {

constexpr std::size_t kPieceBytes = 1 << 20;

}  // namespace

Status ExportLogFileCsv(const std::string& logPath, const std::string& csvPath, std::size_t& rows,
                        Currency currency) {
  rows = 0;
  return ReplaceFileInPieces(csvPath, [&](const PieceWriter& write) {
    std::string piece;
    piece.reserve(kPieceBytes + 4096);
    if (const std::string header = CsvHeaderLine(currency); !header.empty())
      piece.append(Utf8ToCp1252(header) + "\r\n");
    bool writing = true;
    const Status read = ForEachLogRecordInFile(logPath, [&](const TConnObj::Fields& row) {
      if (!writing) return;
      piece.append(Utf8ToCp1252(FormatCsvLine(TConnObj(row), currency)));
      piece.append("\r\n");
      ++rows;
      if (piece.size() >= kPieceBytes) {
        writing = write(piece);
        piece.clear();
      }
    });
    if (!read) return read;
    if (writing) write(piece);
    return Status::Ok();
  });
}

}  // namespace orva
