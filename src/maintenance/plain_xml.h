// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace merkhaus {

// The number of line feeds in `bytes`, eight bytes at a time.
std::size_t CountLineFeeds(std::string_view bytes);

// A fast reader for the XML that vocabulary programs write: UTF-8 text with elements,
// attributes, the five predefined entities, character references, CDATA sections, comments,
// processing instructions and a document type declaration without an internal subset. It
// calls its handler as expat does for such a document (the same elements, attributes and text,
// line ends as "\n"), several times faster. Anything beyond that, and every document that is not
// well-formed, it declines instead of guessing: the caller then reads the document once more
// with expat, which knows all of XML and words the errors. The bytes must already be valid UTF-8.
class PlainXmlReader {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    // `attributes`: name, value, name, value, ..., nullptr (as expat hands them over).
    virtual void start(const char* name, const char** attributes) = 0;
    virtual void end() = 0;
    virtual void text(std::string_view text) = 0;
  };

  explicit PlainXmlReader(Handler& handler) : handler_(handler) {}

  // Reads the next bytes of the document (`last`: the document ends after them). False once the
  // document leaves what this reader takes; it then stays declined.
  bool feed(std::string_view bytes, bool last);

  // The line (from 1) on which the markup being handed to the handler begins.
  std::size_t line();

 private:
  // Reads what is complete in `data` (`used`: how much); false when it declines.
  bool readAll(std::string_view data, bool last, std::size_t& used);
  // Keeps what is not read yet for the next feed.
  bool keep(std::string_view data, std::size_t used);
  bool read(std::string_view data, bool last, std::size_t& used);
  bool startTag(std::string_view data, std::size_t at, std::size_t& next);
  bool endTag(std::string_view data, std::size_t at, std::size_t& next);
  bool textRun(std::string_view data, std::size_t at, bool last, std::size_t& next);
  bool other(std::string_view data, std::size_t at, bool last, std::size_t& next);
  // Appends the character that the reference at `at` ("&...;") means; `next` after it.
  // 0: declined, 1: done, 2: the reference is not complete yet.
  int reference(std::string_view data, std::size_t at, std::string& out, std::size_t& next) const;
  void countLinesTo(std::size_t at);

  Handler& handler_;
  bool declined_ = false;
  bool rootSeen_ = false;
  bool rootClosed_ = false;
  bool doctypeSeen_ = false;
  bool started_ = false;           // some bytes were read (the declaration may only come first)
  std::string pending_;            // bytes of a token that a feed cut in two
  std::string_view data_;          // the bytes being read
  std::size_t countedTo_ = 0;      // of data_: the line ends before it are counted
  std::size_t lines_ = 1;          // the line at countedTo_
  std::size_t tokenAt_ = 0;        // of data_: where the markup being handled begins
  std::string names_;              // the open elements' names, each ended by '\0'
  std::vector<std::size_t> open_;  // where each open element's name begins in names_
  std::string attributeBytes_;     // the names and values of one start tag, each ended by '\0'
  std::vector<std::size_t> attributeAt_;
  std::vector<const char*> attributes_;
  std::string textBytes_;  // text whose references were replaced
};

}  // namespace merkhaus
