#include "form_view.h"

namespace brevan {

bool isBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

} // namespace brevan
