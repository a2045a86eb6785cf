#include "core/text/CoreText.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<CoreText::Translator> g_translator{nullptr};

} // namespace

void CoreText::SetTranslator(Translator translator)
{
    g_translator.store(translator, std::memory_order_release);
}

std::string CoreText::Tr(const char* context, const char* source)
{
    const Translator translator = g_translator.load(std::memory_order_acquire);
    return translator ? translator(context, source) : std::string(source);
}

std::string CoreText::Args(std::string_view text, std::initializer_list<std::string_view> args)
{
    const std::vector<std::string_view> values(args);
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
