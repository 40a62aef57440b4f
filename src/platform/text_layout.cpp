#include "platform/text_layout.h"

#include <cstddef>

#include "platform/text_raster.h"

namespace pirell::platform {
namespace {

struct Marked {
  char32_t ch;
  bool underlined;
};

bool IsBlank(char32_t ch) {
  return ch == U' ' || ch == U'\t';
}

// One line between explicit breaks, with the ampersand prefixes resolved.
using Paragraph = std::vector<Marked>;

std::vector<Paragraph> SplitParagraphs(std::u32string_view text) {
  std::vector<Paragraph> paragraphs(1);
  bool underline_next = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t ch = text[i];
    if (ch == U'\r' || ch == U'\n') {
      if (ch == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      paragraphs.emplace_back();
      underline_next = false;
      continue;
    }
    if (ch == U'&') {
      const bool last = i + 1 == text.size();
      if (underline_next || last) {
        paragraphs.back().push_back({U'&', false});
        underline_next = false;
      } else {
        underline_next = true;
      }
      continue;
    }
    if (ch < U' ' && ch != U'\t') continue;
    paragraphs.back().push_back({ch, underline_next});
    underline_next = false;
  }
  return paragraphs;
}

class LineBuilder {
 public:
  LineBuilder(const AdvanceOf& advance_of, std::vector<LaidOutLine>& lines)
      : advance_of_(advance_of), lines_(lines) {}

  int Width(const Paragraph& p, std::size_t from, std::size_t to) const {
    int width = 0;
    for (std::size_t i = from; i < to; ++i) width += advance_of_(p[i].ch);
    return width;
  }

  void Start() { lines_.emplace_back(); }
  int CurrentWidth() const { return lines_.back().width; }
  bool CurrentEmpty() const { return lines_.back().chars.empty(); }

  void Append(const Paragraph& p, std::size_t from, std::size_t to) {
    LaidOutLine& line = lines_.back();
    for (std::size_t i = from; i < to; ++i) {
      int advance = advance_of_(p[i].ch);
      line.chars.push_back({p[i].ch, line.width, advance, p[i].underlined});
      line.width += advance;
    }
  }

 private:
  const AdvanceOf& advance_of_;
  std::vector<LaidOutLine>& lines_;
};

// Greedy wrapping: a word joins the line when it still ends inside the box; otherwise the blanks
// before it are dropped and it starts the next line, however wide it is.
void WrapParagraph(const Paragraph& p, int box_width, LineBuilder& builder) {
  builder.Start();
  std::size_t i = 0;
  bool first_word = true;
  while (i < p.size()) {
    std::size_t word_start = i;
    while (word_start < p.size() && IsBlank(p[word_start].ch)) ++word_start;
    std::size_t word_end = word_start;
    while (word_end < p.size() && !IsBlank(p[word_end].ch)) ++word_end;

    if (first_word || word_start == word_end) {
      builder.Append(p, i, word_end);
    } else {
      int needed = builder.Width(p, i, word_end);
      if (builder.CurrentWidth() + needed <= box_width) {
        builder.Append(p, i, word_end);
      } else {
        builder.Start();
        builder.Append(p, word_start, word_end);
      }
    }
    first_word = false;
    i = word_end;
  }
}

int AlignedLeft(std::uint32_t flags, int box_width, int line_width) {
  if (flags & text_flags::kCenter) return (box_width - line_width) / 2;
  if (flags & text_flags::kRight) return box_width - line_width;
  return 0;
}

}  // namespace

std::vector<LaidOutLine> LayOutText(std::u32string_view text, int box_width, std::uint32_t flags,
                                    const AdvanceOf& advance_of) {
  std::vector<LaidOutLine> lines;
  LineBuilder builder(advance_of, lines);
  for (const Paragraph& p : SplitParagraphs(text)) {
    if (flags & text_flags::kWordBreak) {
      WrapParagraph(p, box_width, builder);
    } else {
      builder.Start();
      builder.Append(p, 0, p.size());
    }
  }
  for (LaidOutLine& line : lines) {
    line.left = AlignedLeft(flags, box_width, line.width);
    for (PlacedChar& placed : line.chars) placed.x += line.left;
  }
  return lines;
}

}  // namespace pirell::platform
