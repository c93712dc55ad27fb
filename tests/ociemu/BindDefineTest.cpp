// Binds and defines of the external types a query engine sends, as arrays with indicators and
// lengths, by name and by position; LONG and LONG RAW of any length in pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

using BindDefineTest = ScottStatementTest;

struct TypeCase {
  const char* name;
  ub2 type;
  const char* column;
  sb4 size;
  bool lengths;                       // the element's length travels in the length array
  std::vector<std::string> elements;  // element 1 is bound NULL
};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Padded(std::string s, size_t size) {
  s.resize(size, '\0');
  return s;
}

TEST_F(BindDefineTest, EveryTypeRoundTripsAsArraysByNameAndByPosition) {
  const int i1 = 7698, i3 = -42;
  const double f1 = 0.5, f3 = -1234.25;
  const TypeCase cases[] = {
      {"INTEGER",
       SQLT_INT,
       "number(10)",
       4,
       false,
       {std::string(reinterpret_cast<const char*>(&i1), 4), std::string(4, '\0'),
        std::string(reinterpret_cast<const char*>(&i3), 4)}},
      {"FLOAT",
       SQLT_FLT,
       "number",
       8,
       false,
       {std::string(reinterpret_cast<const char*>(&f1), 8), std::string(8, '\0'),
        std::string(reinterpret_cast<const char*>(&f3), 8)}},
      {"STRING",
       SQLT_STR,
       "varchar2(20)",
       12,
       false,
       {Padded("KING", 12), std::string(12, '\0'), Padded("O'Hara", 12)}},
      {"CHARZ",
       SQLT_AVC,
       "varchar2(20)",
       12,
       false,
       {Padded("SMITH", 12), std::string(12, '\0'), Padded("x", 12)}},
      {"CHAR", SQLT_AFC, "char(6)", 6, false, {"ab    ", "      ", "abcdef"}},
      {"DATE",
       SQLT_DAT,
       "date",
       7,
       false,
       {Bytes({120, 126, 12, 11, 13, 31, 1}), std::string(7, '\0'),
        Bytes({120, 124, 2, 29, 1, 1, 1})}},
      {"LONG",
       SQLT_LNG,
       "long",
       16,
       true,
       {Padded("long text", 16), std::string(16, '\0'), Padded("0123456789abcdef", 16)}},
      {"LONG RAW",
       SQLT_LBI,
       "long raw",
       8,
       true,
       {Padded(Bytes({0, 1, 2, 255}), 8), std::string(8, '\0'), Bytes({9, 8, 7, 6, 5, 4, 3, 2})}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string table = std::string("t_") + std::to_string(c.type);
    ASSERT_EQ(Exec(s, "create table " + table + " (k number, v " + c.column + ")"), OCI_SUCCESS)
        << s.Error().text;
    std::string buffer;
    for (const auto& e : c.elements) buffer += e;
    sb2 indicators[3] = {0, -1, 0};
    ub2 lengths[3] = {};
    for (int i = 0; i < 3; ++i) {
      lengths[i] =
          static_cast<ub2>(c.type == SQLT_LNG || c.type == SQLT_LBI
                               ? c.elements[static_cast<size_t>(i)].find_last_not_of('\0') + 1
                               : static_cast<size_t>(c.size));
    }
    int keys[3] = {1, 2, 3};
    // By name for the first array, by position for the same rows again (keys 11 to 13).
    for (bool byName : {true, false}) {
      OCIStmt* insert = Prepare("insert into " + table + " (k, v) values (:k + :offset, :v)");
      // Every bind of an array execution is an array, this one too.
      int offset[3] = {byName ? 0 : 10, byName ? 0 : 10, byName ? 0 : 10};
      OCIBind* b[3] = {};
      if (byName) {
        ASSERT_EQ(client->OCIBindByName(
                      insert, &b[0], s.err, reinterpret_cast<const OraText*>(":K"), -1, keys,
                      sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        ASSERT_EQ(
            client->OCIBindByName(insert, &b[1], s.err, reinterpret_cast<const OraText*>("offset"),
                                  -1, offset, sizeof offset[0], SQLT_INT, nullptr, nullptr, nullptr,
                                  0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
        ASSERT_EQ(
            client->OCIBindByName(insert, &b[2], s.err, reinterpret_cast<const OraText*>(":v"), -1,
                                  buffer.data(), c.size, c.type, indicators,
                                  c.lengths ? lengths : nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
      } else {
        ASSERT_EQ(client->OCIBindByPos(insert, &b[0], s.err, 1, keys, sizeof(int), SQLT_INT,
                                       nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        ASSERT_EQ(client->OCIBindByPos(insert, &b[1], s.err, 2, offset, sizeof offset[0], SQLT_INT,
                                       nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        ASSERT_EQ(
            client->OCIBindByPos(insert, &b[2], s.err, 3, buffer.data(), c.size, c.type, indicators,
                                 c.lengths ? lengths : nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
      }
      // A single row of an array bind can be the only one used.
      ASSERT_EQ(Execute(insert, 3), OCI_SUCCESS) << s.Error().text;
    }

    OCIStmt* select = Prepare("select v from " + table + " order by k");
    std::string out(static_cast<size_t>(c.size) * 6, '\x55');
    sb2 outIndicators[6] = {};
    ub2 outLengths[6] = {};
    ub2 codes[6] = {};
    OCIDefine* d = nullptr;
    ASSERT_EQ(client->OCIDefineByPos(select, &d, s.err, 1, out.data(), c.size, c.type,
                                     outIndicators, outLengths, codes, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(Execute(select, 6), OCI_SUCCESS) << s.Error().text;
    for (int row = 0; row < 6; ++row) {
      SCOPED_TRACE(row);
      const size_t element = static_cast<size_t>(row % 3);
      if (element == 1) {
        EXPECT_EQ(outIndicators[row], -1);
        EXPECT_EQ(codes[row], 1405);
        continue;
      }
      EXPECT_EQ(outIndicators[row], 0);
      EXPECT_EQ(codes[row], 0);
      const std::string got = out.substr(static_cast<size_t>(row) * static_cast<size_t>(c.size),
                                         static_cast<size_t>(c.size));
      const std::string& want = c.elements[element];
      if (c.lengths) {
        EXPECT_EQ(outLengths[row], lengths[element]);
        EXPECT_EQ(got.substr(0, outLengths[row]), want.substr(0, lengths[element]));
      } else {
        EXPECT_EQ(std::string(got.c_str(), c.type == SQLT_STR || c.type == SQLT_AVC
                                               ? std::strlen(got.c_str())
                                               : got.size()),
                  c.type == SQLT_STR || c.type == SQLT_AVC ? std::string(want.c_str()) : want);
      }
    }
  }
}

// The query engine's way to read a LONG: pieces of 4096 bytes, doubling up to 32768.
struct LongPieces {
  std::vector<std::string> pieces;
  std::vector<ub4> lengths;
  sb2 indicator = 99;
  ub4 calls = 0;
};

sb4 NextLongPiece(void* context, OCIDefine*, ub4, void** buffer, ub4** length, ub1* piece,
                  void** indicator, ub2** code) {
  auto* p = static_cast<LongPieces*>(context);
  static ub2 ignored;
  size_t size = p->pieces.empty() ? 4096 : p->pieces.back().size();
  if (!p->pieces.empty() && size < 32768) size *= 2;
  EXPECT_EQ(*piece, p->pieces.empty() ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
  p->pieces.emplace_back(size, '\0');
  p->lengths.push_back(static_cast<ub4>(size));
  ++p->calls;
  *buffer = p->pieces.back().data();
  *length = &p->lengths.back();
  *indicator = &p->indicator;
  *code = &ignored;
  return OCI_CONTINUE;
}

// Gives a LONG RAW value in pieces of 10000 bytes from a callback.
struct RawSource {
  std::string value;
  size_t offset = 0;
  ub4 length = 0;
};

sb4 NextRawPiece(void* context, OCIBind*, ub4 iteration, ub4 index, void** buffer, ub4* length,
                 ub1* piece, void** indicator) {
  auto* source = static_cast<RawSource*>(context);
  static sb2 notNull = 0;
  EXPECT_EQ(iteration, 0u);
  EXPECT_EQ(index, 0u);
  const size_t n = std::min<size_t>(10000, source->value.size() - source->offset);
  *buffer = source->value.data() + source->offset;
  *length = static_cast<ub4>(n);
  *piece = source->offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
  source->offset += n;
  if (source->offset == source->value.size()) *piece = OCI_LAST_PIECE;
  *indicator = &notNull;
  return OCI_CONTINUE;
}

TEST_F(BindDefineTest, LongValuesOfAnyLengthTravelInPieces) {
  ASSERT_EQ(Exec(s, "create table t_long (k number, text long)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "create table t_long_raw (k number, bytes long raw)"), OCI_SUCCESS);
  std::string text;
  for (int i = 0; text.size() < 100000; ++i) text += "line " + std::to_string(i) + "\n";
  std::string bytes;
  for (int i = 0; i < 70001; ++i) bytes.push_back(static_cast<char>(i * 7));

  // LONG: the application answers OCI_NEED_DATA with one piece per execution call.
  OCIStmt* insert = Prepare("insert into t_long values (1, :text)");
  OCIBind* bind = nullptr;
  ASSERT_EQ(client->OCIBindByName(insert, &bind, s.err, reinterpret_cast<const OraText*>(":text"),
                                  -1, nullptr, 2000000000, SQLT_LNG, nullptr, nullptr, nullptr, 0,
                                  nullptr, OCI_DATA_AT_EXEC),
            OCI_SUCCESS);
  sword rc = Execute(insert, 1);
  size_t offset = 0;
  int rounds = 0;
  while (rc == OCI_NEED_DATA) {
    void* handle = nullptr;
    ub4 type = 0, iteration = 9, index = 9;
    ub1 inOut = 0, piece = 0;
    ASSERT_EQ(client->OCIStmtGetPieceInfo(insert, s.err, &handle, &type, &inOut, &iteration, &index,
                                          &piece),
              OCI_SUCCESS);
    EXPECT_EQ(handle, bind);
    EXPECT_EQ(type, static_cast<ub4>(OCI_HTYPE_BIND));
    EXPECT_EQ(inOut, OCI_PARAM_IN);
    EXPECT_EQ(iteration, 0u);
    EXPECT_EQ(piece, offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
    ub4 length = static_cast<ub4>(std::min<size_t>(30000, text.size() - offset));
    const ub1 given = offset + length == text.size() ? OCI_LAST_PIECE
                      : offset == 0                  ? OCI_FIRST_PIECE
                                                     : OCI_NEXT_PIECE;
    ASSERT_EQ(client->OCIStmtSetPieceInfo(handle, OCI_HTYPE_BIND, s.err, text.data() + offset,
                                          &length, given, nullptr, nullptr),
              OCI_SUCCESS);
    offset += length;
    rc = Execute(insert, 1);
    ++rounds;
  }
  ASSERT_EQ(rc, OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(rounds, 4);

  // LONG RAW: the pieces come from the bind's callback.
  OCIStmt* insertRaw = Prepare("insert into t_long_raw values (1, :bytes)");
  ASSERT_EQ(client->OCIBindByPos(insertRaw, &bind, s.err, 1, nullptr, 2000000000, SQLT_LBI, nullptr,
                                 nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC),
            OCI_SUCCESS);
  RawSource source{bytes};
  ASSERT_EQ(client->OCIBindDynamic(bind, s.err, &source, NextRawPiece, nullptr, nullptr),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(insertRaw, 1), OCI_SUCCESS) << s.Error().text;

  const struct {
    const char* sql;
    ub2 type;
    const std::string& expected;
    std::vector<ub4> sizes;
  } reads[] = {
      {"select text from t_long", SQLT_LNG, text, {4096, 8192, 16384, 32768, 32768, 32768}},
      {"select bytes from t_long_raw", SQLT_LBI, bytes, {4096, 8192, 16384, 32768, 32768}},
  };
  for (const auto& r : reads) {
    SCOPED_TRACE(r.sql);
    OCIStmt* select = Prepare(r.sql);
    OCIDefine* define = nullptr;
    ASSERT_EQ(client->OCIDefineByPos(select, &define, s.err, 1, nullptr, 2147483647, r.type,
                                     nullptr, nullptr, nullptr, OCI_DYNAMIC_FETCH),
              OCI_SUCCESS);
    LongPieces pieces;
    ASSERT_EQ(client->OCIDefineDynamic(define, s.err, &pieces, NextLongPiece), OCI_SUCCESS);
    ASSERT_EQ(Execute(select, 1), OCI_SUCCESS) << s.Error().text;
    std::string read;
    std::vector<ub4> sizes;
    for (size_t i = 0; i < pieces.pieces.size(); ++i) {
      read += pieces.pieces[i].substr(0, pieces.lengths[i]);
      sizes.push_back(static_cast<ub4>(pieces.pieces[i].size()));
    }
    EXPECT_EQ(read.size(), r.expected.size());
    EXPECT_TRUE(read == r.expected);
    EXPECT_EQ(sizes, r.sizes);
    EXPECT_EQ(pieces.indicator, 0);
  }

  // A NULL LONG reaches the callback once, with the NULL indicator.
  ASSERT_EQ(Exec(s, "insert into t_long values (2, null)"), OCI_SUCCESS);
  OCIStmt* select = Prepare("select text from t_long where k = 2");
  OCIDefine* define = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(select, &define, s.err, 1, nullptr, 2147483647, SQLT_LNG,
                                   nullptr, nullptr, nullptr, OCI_DYNAMIC_FETCH),
            OCI_SUCCESS);
  LongPieces pieces;
  ASSERT_EQ(client->OCIDefineDynamic(define, s.err, &pieces, NextLongPiece), OCI_SUCCESS);
  ASSERT_EQ(Execute(select, 1), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(pieces.calls, 1u);
  EXPECT_EQ(pieces.indicator, -1);
  EXPECT_EQ(pieces.lengths.at(0), 0u);
}

TEST_F(BindDefineTest, TruncationReportsTheRealLength) {
  ASSERT_EQ(Exec(s, "create table t_cut (v varchar2(30))"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_cut values ('ABCDEFGHIJ')"), OCI_SUCCESS);
  OCIStmt* select = Prepare("select v from t_cut");
  char out[5];
  sb2 indicator = 0;
  ub2 length = 0, code = 0;
  OCIDefine* d = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(select, &d, s.err, 1, out, sizeof out, SQLT_STR, &indicator,
                                   &length, &code, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(select, 1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(s.Error().code, 1406);
  EXPECT_STREQ(out, "ABCD");
  EXPECT_EQ(indicator, 10);  // the length before cutting
  EXPECT_EQ(length, 4);
  EXPECT_EQ(code, 1406);
}

}  // namespace
}  // namespace ociemu::test
