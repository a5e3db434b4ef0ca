#include "app/PreviewView.h"

#include <algorithm>

#include "app/ConsolePrinter.h"
#include "platform/Cp932.h"
#include "platform/Cp932Display.h"

namespace {

// Statements told apart by colour, in this order.
constexpr int kColours[] = {31, 32, 33, 34, 35, 36};
constexpr size_t kMaxNotes = 10;
constexpr size_t kMaxNotedBytes = 8;

// A double-byte character, or a code of two bytes without one.
Glyph DoubleByte(std::string_view line, size_t i) {
  const auto lead = static_cast<unsigned char>(line[i]);
  const auto trail = static_cast<unsigned char>(line[i + 1]);
  GlyphKind kind = GlyphKind::kNoCharacter;
  if (cp932::IsAmbiguousWidth(lead, trail)) {
    kind = GlyphKind::kAmbiguous;
  } else if (cp932::HasUnicodeForm(lead, trail)) {
    kind = GlyphKind::kCharacter;
  }
  return Glyph{i, 2, kind};
}

GlyphKind SingleByte(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return GlyphKind::kControl;
  if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) return GlyphKind::kCharacter;
  return cp932::IsLeadByte(byte) ? GlyphKind::kHalf : GlyphKind::kNoCharacter;
}

std::string_view Placeholder(const Glyph& glyph) {
  switch (glyph.kind) {
    case GlyphKind::kCharacter:
    case GlyphKind::kAmbiguous: break;
    case GlyphKind::kControl: return ".";
    case GlyphKind::kHalf: return "?";
    case GlyphKind::kNoCharacter: return glyph.length == 2 ? "??" : "?";
  }
  return {};
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!text.empty()) text += ' ';
    text += "0x";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string Number(size_t n) { return std::to_string(n); }

// "5" or "5-9": positions counted from 1.
std::string Positions(size_t start, size_t length) {
  if (length <= 1) return Number(start + 1);
  return Number(start + 1) + "-" + Number(start + length);
}

std::string_view OddityName(GlyphKind kind) {
  switch (kind) {
    case GlyphKind::kControl: return "control character";
    case GlyphKind::kHalf: return "half character";
    case GlyphKind::kNoCharacter: return "no character";
    default: return {};
  }
}

// The placeholders, a run of the same kind as one note.
void NotePlaceholders(std::string_view line, const std::vector<Glyph>& glyphs,
                      std::vector<std::string>& notes) {
  for (size_t i = 0; i < glyphs.size();) {
    const Glyph& first = glyphs[i];
    size_t j = i + 1;
    while (j < glyphs.size() && glyphs[j].kind == first.kind) ++j;
    if (!OddityName(first.kind).empty()) {
      const size_t end = glyphs[j - 1].start + glyphs[j - 1].length;
      std::string note = Positions(first.start, end - first.start) + ": ";
      note += OddityName(first.kind);
      if (j - i > 1) note += "s";
      // The bytes themselves, unless there are many.
      if (end - first.start <= kMaxNotedBytes) {
        note += " " + Hex(line.substr(first.start, end - first.start));
      }
      notes.push_back(note);
    }
    i = j;
  }
}

// The double-byte character that byte offset `at` falls inside of (not at
// its start), or null.
const Glyph* InsideOf(const std::vector<Glyph>& glyphs, size_t at) {
  const auto after = std::upper_bound(glyphs.begin(), glyphs.end(), at,
                                      [](size_t value, const Glyph& g) { return value < g.start; });
  if (after == glyphs.begin()) return nullptr;
  const Glyph& glyph = *std::prev(after);
  return glyph.start < at && at < glyph.start + glyph.length ? &glyph : nullptr;
}

// The marks that begin or end inside a double-byte character.
void NoteCuts(const std::vector<Glyph>& glyphs, const std::vector<StatementMarks>& rows,
              std::vector<std::string>& notes) {
  for (const StatementMarks& row : rows) {
    for (const ByteRange& range : row.ranges) {
      for (const size_t edge : {range.start, range.start + range.length}) {
        const Glyph* cut = range.length > 0 ? InsideOf(glyphs, edge) : nullptr;
        if (cut == nullptr) continue;
        notes.push_back(Positions(cut->start, cut->length) + ": line " + std::to_string(row.line) +
                        " cuts a double-byte character in half");
      }
    }
  }
}

// The letter and colour of each statement, by line, in the order of the
// parameter file, so that a statement keeps them from record to record.
class Legend {
 public:
  Legend(const Job* job, bool colour) : colour_(colour) {
    if (job == nullptr) return;
    for (const SelectionGroup& group : job->selection) lines_.push_back(group.line);
    for (const ChangeDefinition& definition : job->changes) lines_.push_back(definition.line);
    for (const EditDefinition& definition : job->edits) lines_.push_back(definition.line);
    for (const CsvDefinition& definition : job->csv) lines_.push_back(definition.line);
    std::sort(lines_.begin(), lines_.end());
  }
  char Letter(int line) {
    const size_t index = IndexOf(line) % 52;
    return static_cast<char>(index < 26 ? 'a' + index : 'A' + (index - 26));
  }
  int Colour(int line) {
    return colour_ ? kColours[IndexOf(line) % std::size(kColours)] : 0;
  }

 private:
  size_t IndexOf(int line) {
    const auto found = std::find(lines_.begin(), lines_.end(), line);
    if (found != lines_.end()) return static_cast<size_t>(found - lines_.begin());
    lines_.push_back(line);
    return lines_.size() - 1;
  }
  bool colour_;
  std::vector<int> lines_;
};

std::string RowLabel(int line, std::string_view what) {
  std::string number = std::to_string(line);
  if (number.size() < 4) number.insert(0, 4 - number.size(), ' ');
  std::string label = number + " " + std::string(what);
  return label;
}

std::string Pad(std::string label, size_t margin) {
  if (label.size() < margin) label.append(margin - label.size(), ' ');
  return label;
}

// A row: its label in the margin, then `shown` (nothing after the label
// when it is empty).
std::string Row(const std::string& label, size_t margin, const std::string& shown) {
  return (shown.empty() ? label : Pad(label, margin) + shown) + "\n";
}

// One line under its ruler with its rows of marks, in parts.
struct Block {
  std::string_view label;  // "record", "output"
  std::string_view line;
  const std::vector<StatementMarks>* rows;
  std::vector<int> colours;  // per byte of `line`, or none
};

size_t Extent(const Block& block) {
  size_t extent = block.line.size();
  for (const StatementMarks& row : *block.rows) {
    for (const ByteRange& range : row.ranges) extent = std::max(extent, range.start + range.length);
  }
  return extent;
}

// The end of the part that starts at `from`: `width` positions on, moved
// back to the start of a character that would be cut.
size_t PartEnd(const std::vector<Glyph>& glyphs, size_t from, size_t extent, size_t width) {
  size_t to = std::min(extent, from + std::max<size_t>(width, 2));
  if (const Glyph* cut = InsideOf(glyphs, to)) to = cut->start;
  return to;
}

bool Touches(const StatementMarks& row, size_t from, size_t to) {
  return std::any_of(row.ranges.begin(), row.ranges.end(), [&](const ByteRange& range) {
    return range.length > 0 && range.start < to && range.start + range.length > from;
  });
}

std::string ShowBlock(const Block& block, Legend& legend, const ViewStyle& style, size_t margin) {
  const std::vector<Glyph> glyphs = ShapeLine(block.line);
  const std::vector<StatementMarks>& rows = *block.rows;
  const size_t extent = Extent(block);
  std::string text;
  for (size_t from = 0; from < extent || (from == 0 && extent == 0);) {
    const size_t to = PartEnd(glyphs, from, extent, style.width);
    // Beyond the line, only the parts that hold marks (a field far beyond
    // the record).
    const bool marked = std::any_of(rows.begin(), rows.end(), [&](const StatementMarks& row) {
      return Touches(row, from, to);
    });
    if (from >= block.line.size() && from > 0 && !marked) {
      from = to;
      continue;
    }
    if (to > from) text += Ruler(from, to, margin);
    text += Row("  " + std::string(block.label), margin,
                ShowGlyphs(block.line, glyphs, from, to, style, block.colours));
    for (const StatementMarks& row : rows) {
      if (!Touches(row, from, to)) continue;
      text += Row(RowLabel(row.line, row.what), margin,
                  MarkRow(row.ranges, legend.Letter(row.line), legend.Colour(row.line), from, to));
    }
    if (to == from) break;
    from = to;
  }
  std::string notes = DescribeOddities(block.line, glyphs, rows);
  if (block.line.empty()) notes = "an empty line";
  if (!notes.empty()) text += Row("  note", margin, notes);
  return text;
}

// The colour of each byte of the output: that of the statement that wrote
// it last.
std::vector<int> OutputColours(const PreviewRecord& record, Legend& legend) {
  std::vector<int> colours(record.output.size(), 0);
  for (const StatementMarks& row : record.writes) {
    const int colour = legend.Colour(row.line);
    for (const ByteRange& range : row.ranges) {
      for (size_t i = range.start; i < range.start + range.length && i < colours.size(); ++i) {
        colours[i] = colour;
      }
    }
  }
  return colours;
}

std::string Coloured(std::string_view text, int colour) {
  if (colour == 0) return std::string(text);
  return "\x1b[" + std::to_string(colour) + "m" + std::string(text) + "\x1b[0m";
}

// CSV: each value with its header name, in the statement's colour.
std::string ShowFields(const PreviewRecord& record, Legend& legend, const ViewStyle& style,
                       size_t margin) {
  size_t headerWidth = 0;
  for (const CsvField& field : record.fields) {
    headerWidth = std::max(headerWidth, ShownWidth(field.header, style));
  }
  const size_t count = record.fields.size();
  std::string text =
      Row("  output", margin, std::to_string(count) + (count == 1 ? " value" : " values"));
  for (const CsvField& field : record.fields) {
    std::string shown;
    if (headerWidth > 0) {
      shown = ShowGlyphs(field.header, ShapeLine(field.header), 0, field.header.size(), style);
      shown.append(headerWidth - ShownWidth(field.header, style) + 2, ' ');
    }
    const std::string value =
        ShowGlyphs(field.value, ShapeLine(field.value), 0, field.value.size(), style);
    shown += Coloured(value, legend.Colour(field.line));
    shown.erase(shown.find_last_not_of(' ') + 1);
    text += Row(RowLabel(field.line, field.keyword), margin, shown);
  }
  return text;
}

std::string Heading(const PreviewRecord& record) {
  const size_t size = record.bytes.size();
  const std::string where = ShowName(record.fileName) + " record " +
                            std::to_string(record.number) + " (" + Number(size) +
                            (size == 1 ? " byte)" : " bytes)");
  if (record.job == nullptr) return where + "\n";
  return DescribeExplanation(record.explanation, where + ": ");
}

std::string ShowError(const PreviewRecord& record, size_t margin) {
  std::string text = std::to_string(ErrorNumber(record.error)) + ": " +
                     std::string(EnglishErrorMessage(record.error));
  if (!record.errorDetail.empty()) text += ": " + record.errorDetail;
  if (record.errorLine > 0) {
    text += " (line " + std::to_string(record.errorLine) + ": " +
            std::string(record.errorStatement) + ")";
  }
  return Row("  error", margin, text);
}

std::string ShowResult(const PreviewRecord& record, Legend& legend, const ViewStyle& style,
                       size_t margin) {
  switch (record.job->type) {
    case ProcessingType::kCopy: return Row("  output", margin, "(the record as it is)");
    case ProcessingType::kCsv: return ShowFields(record, legend, style, margin);
    case ProcessingType::kChange:
    case ProcessingType::kEdit: break;
  }
  const Block block{"output", record.output, &record.writes, OutputColours(record, legend)};
  return ShowBlock(block, legend, style, margin);
}

// Room for the widest label of the record, and two blanks.
size_t Margin(const PreviewRecord& record) {
  size_t widest = 8;  // "  record", "  output"
  for (const auto* rows : {&record.reads, &record.writes}) {
    for (const StatementMarks& row : *rows) {
      widest = std::max(widest, RowLabel(row.line, row.what).size());
    }
  }
  for (const CsvField& field : record.fields) {
    widest = std::max(widest, RowLabel(field.line, field.keyword).size());
  }
  return widest + 2;
}

}  // namespace

std::vector<Glyph> ShapeLine(std::string_view line) {
  std::vector<Glyph> glyphs;
  glyphs.reserve(line.size());
  for (size_t i = 0; i < line.size();) {
    const auto byte = static_cast<unsigned char>(line[i]);
    const bool pair = cp932::IsLeadByte(byte) && i + 1 < line.size() &&
                      cp932::IsTrailByte(static_cast<unsigned char>(line[i + 1]));
    glyphs.push_back(pair ? DoubleByte(line, i) : Glyph{i, 1, SingleByte(byte)});
    i += glyphs.back().length;
  }
  return glyphs;
}

std::string ShowGlyphs(std::string_view line, const std::vector<Glyph>& glyphs, size_t from,
                       size_t to, const ViewStyle& style, const std::vector<int>& colours) {
  std::string text;
  for (const Glyph& glyph : glyphs) {
    if (glyph.start < from || glyph.start >= to) continue;
    const std::string_view placeholder = Placeholder(glyph);
    std::string shown(placeholder.empty() ? line.substr(glyph.start, glyph.length) : placeholder);
    if (glyph.kind == GlyphKind::kAmbiguous && style.utf8) shown += ' ';
    const int colour = glyph.start < colours.size() ? colours[glyph.start] : 0;
    if (!style.colour || (colour == 0 && placeholder.empty())) {
      text += shown;
      continue;
    }
    // Placeholders in reverse video, so they are not taken for data.
    std::string code = placeholder.empty() ? "" : "7";
    if (colour != 0) code += (code.empty() ? "" : ";") + std::to_string(colour);
    text += "\x1b[" + code + "m" + shown + "\x1b[0m";
  }
  return text;
}

std::string Ruler(size_t from, size_t to, size_t margin) {
  // Each number ends at the column of its position; a number may reach
  // into the margin, not beyond it.
  std::string tens(margin + to - from, ' ');
  std::string units(margin, ' ');
  const auto fits = [&](size_t position, const std::string& number) {
    return margin + position - from >= number.size();
  };
  for (size_t position = from + 1; position <= to; ++position) {
    units += static_cast<char>('0' + position % 10);
    const std::string number = Number(position);
    if (position % 10 != 0 || !fits(position, number)) continue;
    tens.replace(margin + position - from - number.size(), number.size(), number);
  }
  // A later part also names its first position, where it stands clear of
  // the multiples of ten, so that it reads without them.
  const std::string first = Number(from + 1);
  if (from > 0 && fits(from + 1, first)) {
    const size_t start = margin + 1 - first.size();
    if (tens.find_first_not_of(' ', start - (start > 0 ? 1 : 0)) > margin + 1) {
      tens.replace(start, first.size(), first);
    }
  }
  tens.erase(tens.find_last_not_of(' ') + 1);
  return (tens.empty() ? std::string() : tens + "\n") + units + "\n";
}

std::string MarkRow(const std::vector<ByteRange>& ranges, char letter, int colour, size_t from,
                    size_t to) {
  std::string marks(to - from, ' ');
  for (const ByteRange& range : ranges) {
    const size_t start = std::max(range.start, from);
    const size_t end = std::min(range.start + range.length, to);
    for (size_t i = start; i < end; ++i) marks[i - from] = letter;
  }
  marks.erase(marks.find_last_not_of(' ') + 1);
  if (colour == 0) return marks;
  // Each run of letters in reverse video of the statement's colour.
  std::string text;
  for (size_t i = 0; i < marks.size();) {
    size_t j = i;
    while (j < marks.size() && (marks[j] == ' ') == (marks[i] == ' ')) ++j;
    const std::string run = marks.substr(i, j - i);
    text += marks[i] == ' ' ? run : "\x1b[7;" + std::to_string(colour) + "m" + run + "\x1b[0m";
    i = j;
  }
  return text;
}

std::string DescribeOddities(std::string_view line, const std::vector<Glyph>& glyphs,
                             const std::vector<StatementMarks>& rows) {
  std::vector<std::string> notes;
  NotePlaceholders(line, glyphs, notes);
  NoteCuts(glyphs, rows, notes);
  std::string text;
  for (size_t i = 0; i < notes.size() && i < kMaxNotes; ++i) {
    text += (i > 0 ? "; " : "") + notes[i];
  }
  if (notes.size() > kMaxNotes) text += "; ...";
  return text;
}

size_t ShownWidth(std::string_view text, const ViewStyle& style) {
  size_t width = 0;
  for (const Glyph& glyph : ShapeLine(text)) {
    width += glyph.length + (style.utf8 && glyph.kind == GlyphKind::kAmbiguous ? 1 : 0);
  }
  return width;
}

std::string DescribePreview(const PreviewRecord& record, const ViewStyle& style) {
  Legend legend(record.job, style.colour);
  const size_t margin = Margin(record);
  const std::vector<StatementMarks> none;
  std::string text = Heading(record);
  text += ShowBlock(Block{"record", record.bytes, record.job ? &record.reads : &none, {}}, legend,
                    style, margin);
  if (record.error != ErrorCode::kNone) {
    text += ShowError(record, margin);
  } else if (record.converted) {
    text += ShowResult(record, legend, style, margin);
  }
  return text + "\n";
}
