#include "update/notice_fields.h"

#include <boost/regex.hpp>
#include <stdexcept>

namespace tomeferry::update {

std::string pageText(std::string_view body) {
  return std::string(body.substr(0, body.find('\0')));
}

std::vector<std::string> noticeFields(const std::string& pageText) {
  // Perl syntax and default options: '.' matches every byte, line breaks and NUL included.
  static const boost::regex marker("qwer(.*?)qwer", boost::regex::perl);
  std::vector<std::string> fields;
  const auto begin = pageText.begin();
  const auto end = pageText.end();
  boost::smatch match;
  try {
    for (auto it = begin;
         boost::regex_search(it, end, match, marker,
                             it != begin ? boost::match_prev_avail : boost::match_default);
         it = match[0].second) {
      fields.emplace_back(match[1].first, match[1].second);
    }
  } catch (const std::runtime_error&) {
    // The engine gives up on a page it finds too complex; the page comes from the web,
    // and the start of the program must not fail on it. The fields found so far stand.
  }
  return fields;
}

}  // namespace tomeferry::update
