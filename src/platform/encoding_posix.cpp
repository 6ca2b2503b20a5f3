#include <iconv.h>

#include <cerrno>

#include "platform/encoding.h"

namespace kw39::platform {

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::optional<std::string> Run(std::string_view text) const {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 3 + 16, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
                if (errno != E2BIG) return std::nullopt;
                const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
            }
        }
        out.resize(static_cast<std::size_t>(outPtr - out.data()));
        return out;
    }

  private:
    iconv_t m_cd;
};

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view text) {
    thread_local const Converter converter("UTF-8", "CP932");
    return converter.Run(text);
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    thread_local const Converter converter("CP932", "UTF-8");
    return converter.Run(text);
}

}  // namespace kw39::platform
