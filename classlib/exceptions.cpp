#include "classlib/exceptions.h"

namespace classlib {

std::string ExceptionText(const std::exception_ptr& error) {
  std::string text;
  try {
    if (error) std::rethrow_exception(error);
    return "Unknown error";
  } catch (const Exception& e) {
    text = e.Message();
  } catch (const std::bad_alloc&) {
    text = "Out of memory";
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    return "Unknown error";
  }
  if (text.empty() || text.back() != '.') text += '.';
  return text;
}

}  // namespace classlib
