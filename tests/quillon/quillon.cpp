// Test stand-in for Quillon's scope-file decoder. Decoding rotates each byte
// left by three bits and XORs it with a position-dependent key; lapgen's
// scope writer does the opposite, so a reader that skips the call sees garbage.

#if defined(_WIN32)
#define QUILLON_EXPORT extern "C" __declspec(dllexport)
#else
#define QUILLON_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUILLON_EXPORT int F1RS_CodeSEQ(unsigned char* data, int length) {
    if (data == nullptr || length < 0) return 0;
    for (int i = 0; i < length; ++i) {
        const unsigned b = data[i];
        const unsigned rotated = ((b << 3) | (b >> 5)) & 0xFFu;
        data[i] = static_cast<unsigned char>(rotated ^
                                             ((static_cast<unsigned>(i) * 29u + 0x4Bu) & 0xFFu));
    }
    return length;
}
