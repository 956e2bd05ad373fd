#include "updater/md5.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <string>

namespace {

std::string Hex(const uint8_t digest[16]) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < 16; ++i) {
        out += kDigits[digest[i] >> 4];
        out += kDigits[digest[i] & 15];
    }
    return out;
}

std::string DigestOf(const std::string& text, size_t pieceLength) {
    Md5Context ctx;
    Md5Init(&ctx, 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t at = 0; at < text.size(); at += pieceLength)
        Md5Update(&ctx, bytes + at, std::min(pieceLength, text.size() - at));
    Md5Final(&ctx);
    return Hex(ctx.digest);
}

struct Vector {
    const char* message;
    const char* digest;
};

// The test suite of RFC 1321.
const Vector kRfcVectors[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, RfcVectorsWholeAndInPieces) {
    for (const Vector& v : kRfcVectors) {
        for (size_t piece : {size_t(1000), size_t(1), size_t(7), size_t(63), size_t(64)}) {
            EXPECT_EQ(DigestOf(v.message, piece), v.digest)
                << '"' << v.message << "\" in pieces of " << piece;
        }
    }
}

TEST(Md5, PaddingBoundaries) {
    // Lengths around the 56-byte point where padding spills into a second block.
    const std::pair<size_t, const char*> kCases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},
        {56, "3b0c8ac703f828b04c6c197006d17218"},
        {64, "014842d480b571495a4a0363793f7367"},
    };
    for (const auto& [length, digest] : kCases)
        EXPECT_EQ(DigestOf(std::string(length, 'a'), 1000), digest) << length;
}

TEST(Md5, HashFileReadsWholeFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        size_t length;
        uint64_t expectedTotal;
    };
    // 2048 bytes end on a full chunk, so the last read is empty; 2049 spills one byte.
    for (const Case& c : {Case{0, 0}, Case{2048, 2048}, Case{2049, 2049}, Case{5000, 5000}}) {
        std::string content(c.length, '\0');
        for (size_t i = 0; i < c.length; ++i)
            content[i] = char(i * 31 + 7);
        QString path = dir.filePath(QStringLiteral("f%1").arg(c.length));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content.data(), qint64(content.size()));
        f.close();
        Md5Context ctx;
        EXPECT_EQ(Md5HashFile(QFile::encodeName(path).constData(), 0, &ctx), c.expectedTotal);
        EXPECT_EQ(Hex(ctx.digest), DigestOf(content, 1000)) << c.length;
    }
}

TEST(Md5, MissingFileLeavesContextAlone) {
    Md5Context ctx;
    std::memset(&ctx, 0x5A, sizeof ctx);
    EXPECT_EQ(Md5HashFile("/nonexistent/folder/file.zip", 0, &ctx), 0u);
    EXPECT_EQ(ctx.state[0], 0x5A5A5A5Au);
}

}  // namespace
