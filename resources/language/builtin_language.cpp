#include "resources/language/builtin_language.h"

#include "resources/language/builtin_language_texts.h"

const char* BuiltinLanguageText(int index) {
    switch (index) {
        case 0:
            return BUILTIN_LANGUAGE_ENG;
        case 1:
            return BUILTIN_LANGUAGE_CHS;
        case 2:
            return BUILTIN_LANGUAGE_CHT;
        default:
            return nullptr;
    }
}
