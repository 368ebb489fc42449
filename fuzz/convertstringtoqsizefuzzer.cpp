#include "catalogue/iconsizetext.h"

#include "fuzzerenvironment.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzerEnvironment::instance();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QSize parsed = IconSizeText::fromString(text);
    if (!text.contains(QLatin1Char('x')) && parsed.isValid()) {
        std::abort();
    }
    // A size the program itself printed must read back the same.
    const QSize printedBack = IconSizeText::fromString(IconSizeText::toString(parsed));
    if (parsed.isValid() && printedBack != parsed) {
        std::abort();
    }
    return 0;
}
