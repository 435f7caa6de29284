#include "DataBudget.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "CFile.h"

BOOL ReadDataFile(const char* path, std::string& out) { return ReadWholeFile(path, out, kDataFileLimit); }

// What expat holds for one parser: every block it allocates carries a header naming this account
// and the block's size, so that a block freed or grown is counted where it was taken.
struct CDataXmlParser::Account {
  size_t held = 0;
  size_t peak = 0;
};

namespace {

struct BlockHeader {
  size_t size;
  CDataXmlParser::Account* account;
};
// The header keeps the block behind it aligned as malloc's own blocks are.
constexpr size_t kHeaderBytes =
    (sizeof(BlockHeader) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);

// The account that expat's allocations go to: set while this thread creates a parser or parses
// with it (expat's memory functions take no user data). Blocks freed later name their account
// in their header.
thread_local CDataXmlParser::Account* g_current = nullptr;

class CurrentAccount {
 public:
  explicit CurrentAccount(CDataXmlParser::Account* a) : previous_(g_current) { g_current = a; }
  ~CurrentAccount() { g_current = previous_; }
  CurrentAccount(const CurrentAccount&) = delete;
  CurrentAccount& operator=(const CurrentAccount&) = delete;

 private:
  CDataXmlParser::Account* previous_;
};

size_t Cost(size_t size) { return size + kAllocationOverhead; }

// Counts `more` bytes against the account; false when they do not fit its budget.
bool Take(CDataXmlParser::Account* a, size_t more) {
  if (!a) return true;
  if (more > kXmlParserBudget || a->held > kXmlParserBudget - more) return false;
  a->held += more;
  if (a->held > a->peak) a->peak = a->held;
  return true;
}

void Give(CDataXmlParser::Account* a, size_t less) {
  if (a) a->held = less > a->held ? 0 : a->held - less;
}

void* XmlMalloc(size_t size) {
  if (size > kXmlParserBudget || !Take(g_current, Cost(size))) return nullptr;
  auto* h = static_cast<BlockHeader*>(std::malloc(kHeaderBytes + size));
  if (!h) {
    Give(g_current, Cost(size));
    return nullptr;
  }
  h->size = size;
  h->account = g_current;
  return reinterpret_cast<char*>(h) + kHeaderBytes;
}

void XmlFree(void* p) {
  if (!p) return;
  auto* h = reinterpret_cast<BlockHeader*>(static_cast<char*>(p) - kHeaderBytes);
  Give(h->account, Cost(h->size));
  std::free(h);
}

void* XmlRealloc(void* p, size_t size) {
  if (!p) return XmlMalloc(size);
  auto* h = reinterpret_cast<BlockHeader*>(static_cast<char*>(p) - kHeaderBytes);
  CDataXmlParser::Account* a = h->account;
  const size_t old = h->size;
  if (size > kXmlParserBudget || (size > old && !Take(a, size - old))) return nullptr;
  auto* grown = static_cast<BlockHeader*>(std::realloc(h, kHeaderBytes + size));
  if (!grown) {
    if (size > old) Give(a, size - old);
    return nullptr;
  }
  if (size < old) Give(a, old - size);
  grown->size = size;
  return reinterpret_cast<char*>(grown) + kHeaderBytes;
}

const XML_Memory_Handling_Suite kCountedMemory = {XmlMalloc, XmlRealloc, XmlFree};

}  // namespace

CDataXmlParser::CDataXmlParser() : account_(new Account) {
  CurrentAccount scope(account_);
  parser_ = XML_ParserCreate_MM(nullptr, &kCountedMemory, nullptr);
  if (!parser_) return;
  XML_SetUserData(parser_, this);
  // The nesting is counted whether or not the reader has handlers of its own.
  XML_SetElementHandler(parser_, OnStart, OnEnd);
}

CDataXmlParser::~CDataXmlParser() {
  if (parser_) XML_ParserFree(parser_);
  delete account_;
}

void CDataXmlParser::SetHandlers(void* user, XML_StartElementHandler start, XML_EndElementHandler end,
                                 XML_CharacterDataHandler text) {
  user_ = user;
  start_ = start;
  end_ = end;
  text_ = text;
  if (!parser_) return;
  XML_SetElementHandler(parser_, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser_, text ? OnText : nullptr);
}

BOOL CDataXmlParser::Parse(const char* data, size_t length, bool final) {
  if (!parser_ || stopped_ || length > kDataFileLimit) return FALSE;
  CurrentAccount scope(account_);
  const bool ok = XML_Parse(parser_, data, static_cast<int>(length), final ? 1 : 0) != XML_STATUS_ERROR;
  return ok && !stopped_;
}

void CDataXmlParser::Stop() {
  if (stopped_ || !parser_) return;
  stopped_ = true;
  XML_StopParser(parser_, XML_FALSE);
}

size_t CDataXmlParser::GetPeakBytes() const { return account_->peak; }

void XMLCALL CDataXmlParser::OnStart(void* self, const XML_Char* name, const XML_Char** atts) {
  auto* p = static_cast<CDataXmlParser*>(self);
  if (p->stopped_) return;
  if (++p->depth_ > kMaxXmlDepth) {
    p->tooDeep_ = true;
    p->Stop();
    return;
  }
  if (p->start_) p->start_(p->user_, name, atts);
}

void XMLCALL CDataXmlParser::OnEnd(void* self, const XML_Char* name) {
  auto* p = static_cast<CDataXmlParser*>(self);
  if (p->depth_ > 0) --p->depth_;
  if (!p->stopped_ && p->end_) p->end_(p->user_, name);
}

void XMLCALL CDataXmlParser::OnText(void* self, const XML_Char* text, int length) {
  auto* p = static_cast<CDataXmlParser*>(self);
  if (!p->stopped_ && p->text_) p->text_(p->user_, text, length);
}
