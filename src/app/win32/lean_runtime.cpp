// An exception that nobody catches ends the program at once, as it would anyway. The runtime's
// own handler first prints the exception's type by name, and with it comes the whole C++
// demangler, about 46 KB of the program's file.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

// The same for the exceptions the standard library throws on misuse (an index out of range, a
// length too great) or when memory runs out: the program catches none of them, so each ends it
// at once. Defined here, they keep out the runtime's own throwing code, which brings in a second,
// reference-counted string type and the random device (about 45 KB).
namespace std {

void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }

}  // namespace std
