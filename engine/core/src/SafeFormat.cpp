// Data texts as formats, filled without handing them to printf.
#include "core/SafeFormat.h"

#include <string>

CommonString SafeFormat(const char* format, std::initializer_list<TFormatArg> args) {
    if (format == nullptr) return CommonString();
    std::string out;
    const TFormatArg* next = args.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] != '%' || (p[1] != 'd' && p[1] != 's' && p[1] != '%')) {
            out.push_back(*p);
            continue;
        }
        const char conversion = p[1];
        ++p;
        if (conversion == '%') {
            out.push_back('%');
            continue;
        }
        const bool wantInt = conversion == 'd';
        if (next == args.end() || (next->kind == TFormatArg::EKind::Int) != wantInt) {
            out.push_back('%');
            out.push_back(conversion);
            if (next != args.end()) ++next;
            continue;
        }
        if (wantInt)
            out += std::to_string(next->number);
        else if (next->text != nullptr)
            out += next->text;
        ++next;
    }
    return CommonString(out.c_str());
}
