#include "net/censor.h"

#include <cctype>
#include <cstring>

#include "base/file.h"
#include "base/ini.h"

const char* chat_CensorWords[CHAT_CENSOR_WORDS + 1];

namespace {

// "censor buffer": the normalised words.
char g_buffer[CHAT_CENSOR_BUFFER_SIZE];

// Lines of the file are read up to this many characters.
constexpr size_t LINE_SIZE = 128;

void Clear(void) {
    memset(g_buffer, 0, sizeof g_buffer);
    chat_CensorWords[0] = nullptr;
}

}  // namespace

void chat_CensorNormalize(const char* text, char* output, size_t outputSize) {
    if (!text || !output || outputSize == 0) return;
    size_t n = 0;
    // The letter kept last, as written: "Hello" keeps one l, "lL" keeps both.
    int last = -1;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p && n + 1 < outputSize; p++) {
        if (!isalpha(*p) || *p == last) continue;
        last = *p;
        output[n++] = static_cast<char>(toupper(*p));
    }
}

int32_t chat_CensorMatch(const char* normalised) {
    if (!normalised) return 0;
    for (int32_t i = 0; i < CHAT_CENSOR_WORDS && chat_CensorWords[i]; i++)
        if (strstr(normalised, chat_CensorWords[i])) return 1;
    return 0;
}

int32_t chat_CensorCheck(const char* text) {
    char line[CHAT_CENSOR_LINE_SIZE];
    memset(line, 0, sizeof line);
    chat_CensorNormalize(text, line, sizeof line);
    return chat_CensorMatch(line);
}

void chat_CensorLoad(void) {
    Clear();
    const int32_t mode = file_DiskFirstSet(1);
    const int32_t loaded = ini_Load("censor.txt");
    file_DiskFirstSet(mode);
    if (!loaded) return;
    size_t used = 0;
    int32_t count = 0;
    char line[LINE_SIZE];
    while (count < CHAT_CENSOR_WORDS && ini_LineNext(line, sizeof line)) {
        char word[LINE_SIZE];
        memset(word, 0, sizeof word);
        chat_CensorNormalize(line, word, sizeof word);
        const size_t length = strlen(word);
        // An empty word would occur in every line and refuse them all.
        if (length == 0) continue;
        if (length + 1 > sizeof g_buffer - used) break;
        memcpy(g_buffer + used, word, length + 1);
        chat_CensorWords[count++] = g_buffer + used;
        used += length + 1;
    }
    chat_CensorWords[count] = nullptr;
    ini_Unload();
}

void chat_CensorInit(void) { chat_CensorLoad(); }
