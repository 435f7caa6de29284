#include "TarifDatabase.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <expat.h>
#include <string>
#include <vector>

#include "BillingRule.h"
#include "CFile.h"
#include "DataBudget.h"
#include "OwnedMap.h"
#include "Settings.h"
#include "TarifClock.h"
#include "TarifScramble.h"
#include "TarifTexts.h"
#include "TarifUi.h"

namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// What the parse of a document may build per byte of it, and for any document: the densest real
// content, a range of one-digit items ("0,1,2,3"), builds some 50 bytes per byte (a comparison with
// its copy of the variable's name for every two bytes). Beyond that a document asks for more than
// its content can mean, and it is refused long before the build budget of one read is reached.
const size_t kBuildPerDocumentByte = 64;
const size_t kBuildForAnyDocument = size_t(64) << 10;

// atof as it reads in the "C" locale (a point as decimal sign), even if some part of the
// process changed the C library's numeric locale. A value that is not a finite number of the
// float the tariff keeps ("nan", "inf", 1e999) reads as 0, as a text that does not parse: such
// a value would compare unordered and unsort the whole ranking.
double AtofC(const char* text) {
  const char point = *std::localeconv()->decimal_point;
  double v;
  if (point == '.') {
    v = std::atof(text);
  } else {
    std::string t(text);
    size_t own = t.find(point);
    if (own != std::string::npos) t.resize(own);  // the "C" reading stops there
    for (char& c : t)
      if (c == '.') c = point;
    v = std::atof(t.c_str());
  }
  return std::isfinite(static_cast<float>(v)) ? v : 0.0;
}

// A text element as one line: a line break inside (with the blanks around it) becomes one blank,
// so a name written over two lines of the file shows on one line of a list.
CString OneLine(const CString& in) {
  const std::string& s = in.str();
  if (s.find_first_of("\r\n") == std::string::npos) return in;
  std::string out;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\r' || s[i] == '\n') {
      while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
      while (i < s.size() && (s[i] == '\r' || s[i] == '\n' || s[i] == ' ' || s[i] == '\t')) ++i;
      out += ' ';
    } else {
      out += s[i++];
    }
  }
  return CString(out);
}

// A flag element's text: set unless it is "N" in any case.
BOOL IsFlagSet(const CString& text) {
  CString upper = text;
  upper.MakeUpper();
  return upper != "N";
}

// The name as a list shows it: on one line, its first letter upper-cased.
void ApplyName(CProvider& p, const CString& text) {
  CString t = OneLine(text);
  if (t[0] >= 'a' && t[0] <= 'z') t.SetAt(0, static_cast<char>(t[0] - 'a' + 'A'));
  p.SetName(t);
}

// What an element of the tariff file opens. Elements of no kind (the root "Providerliste" and
// any unknown one) do nothing.
enum class Opens { provider, text, values, rule, group, comparison };

// One element: what it opens; for a group its mode, for a comparison its operator; for a text
// element what its whole, trimmed, non-empty text sets in the provider.
struct TarifElement {
  const char* name;
  Opens opens;
  int kind;
  void (*setText)(CProvider& p, const CString& text);
};

constexpr TarifElement kElements[] = {
    {"Provider", Opens::provider, 0, nullptr},
    {"name", Opens::text, 0, ApplyName},
    {"telefonnummer", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetPhoneNumber(t); }},
    {"username", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetUserName(t); }},
    {"passwort", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetPassword(t); }},
    {"info", Opens::text, 0, [](CProvider& p, const CString& t) { p.AppendInfo(t); }},
    {"anmeldepflichtig", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetLoginRequired(IsFlagSet(t)); }},
    {"skipfirstpage", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetSkipFirstPage(IsFlagSet(t)); }},
    {"freiminuten", Opens::text, 0, [](CProvider& p, const CString& t) { p.SetHasFreeMinutes(IsFlagSet(t)); }},
    {"set", Opens::values, 0, nullptr},
    {"rule", Opens::rule, 0, nullptr},
    {"and", Opens::group, CTarifConditionGroup::modeAnd, nullptr},
    {"or", Opens::group, CTarifConditionGroup::modeOr, nullptr},
    {"not", Opens::group, CTarifConditionGroup::modeNot, nullptr},
    {"eq", Opens::comparison, CTarifComparison::opEqual, nullptr},
    {"ne", Opens::comparison, CTarifComparison::opNotEqual, nullptr},
    {"gt", Opens::comparison, CTarifComparison::opGreater, nullptr},
    {"ge", Opens::comparison, CTarifComparison::opGreaterEqual, nullptr},
    {"lt", Opens::comparison, CTarifComparison::opLess, nullptr},
    {"le", Opens::comparison, CTarifComparison::opLessEqual, nullptr},
    {"in-range", Opens::comparison, CTarifComparison::opInRange, nullptr},
};

// The element of that name (compared case-sensitively), NULL for one of no kind.
const TarifElement* FindElement(const char* name) {
  for (const TarifElement& e : kElements)
    if (Is(name, e.name)) return &e;
  return nullptr;
}

// A whole number as atoi reads it (blanks, a sign, the digits up to the first other character;
// no digits read as 0), but checked: a value beyond an int is refused (FALSE) instead of wrapping
// as each C library's atoi does in its own way (-1 natively, 1661992959 in the Windows build for
// "99999999999999999999").
bool ReadWholeNumber(const char* text, long long* out) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > 2147483648LL) return false;
  }
  v = negative ? -v : v;
  if (v > 2147483647LL) return false;
  *out = v;
  return true;
}

// The values a `set` element names: the field's name and how its value is read (takt and
// freimin as whole numbers, the amounts as decimals with a point). FALSE for a value the tariff
// cannot take: a number beyond an int, a takt outside CBillingRule's range (a negative one
// showed a negative running cost, a huge one billed hundreds of thousands of marks).
struct TarifValue {
  const char* name;
  bool (*set)(CTarifAction& action, const char* value);
};

constexpr TarifValue kValues[] = {
    {"takt",
     [](CTarifAction& a, const char* v) {
       long long n;
       if (!ReadWholeNumber(v, &n) || !CBillingRule::IsValidTakt(n)) return false;
       a.SetTakt(static_cast<int>(n));
       return true;
     }},
    {"freimin",
     [](CTarifAction& a, const char* v) {
       long long n;
       if (!ReadWholeNumber(v, &n)) return false;
       a.SetFreeMinutes(static_cast<int>(n));
       return true;
     }},
    {"preis",
     [](CTarifAction& a, const char* v) {
       a.SetPrice(static_cast<float>(AtofC(v)));
       return true;
     }},
    {"grundgebuehr",
     [](CTarifAction& a, const char* v) {
       a.SetBaseFee(static_cast<float>(AtofC(v)));
       return true;
     }},
    {"pfgeinwahl",
     [](CTarifAction& a, const char* v) {
       a.SetDialInFee(static_cast<float>(AtofC(v)));
       return true;
     }},
};

const TarifValue* FindValue(const char* name) {
  for (const TarifValue& v : kValues)
    if (Is(name, v.name)) return &v;
  return nullptr;
}

// The state of one parse. Text is collected over all character-data chunks of an element (expat
// splits text at entities and line ends) and applied when the element ends or a child starts.
struct ParseState {
  CTarifDatabase* db = nullptr;
  CDataXmlParser* parser = nullptr;
  CProvider* provider = nullptr;
  CTarifAction* action = nullptr;
  CTarifRuleList* rules = nullptr;
  CTarifRule* rule = nullptr;
  std::vector<CTarifConditionGroup*> groups;  // open groups; NULL for one that has no place
  const TarifElement* element = nullptr;      // the text element being read, NULL for none
  std::string text;
  // What the parse has built so far, in bytes, and what it may build: kBuildPerDocumentByte for
  // every byte of the document, never more than kDataBuildBudget. A short document can ask for a
  // lot: every item of a range list is a comparison of its own with its own copy of the
  // variable's name.
  size_t built = 0;
  size_t allowance = 0;
  bool overBudget = false;
  int stored = 0;  // the providers the document has given so far
  bool tooManyProviders = false;

  // Counts `bytes` of `allocations` blocks to be built; false (and the parse stopped) when they
  // do not fit the budget any more.
  bool Spend(size_t bytes, size_t allocations = 1) {
    if (overBudget) return false;
    built += bytes + allocations * kAllocationOverhead;
    if (built <= allowance) return true;
    overBudget = true;
    parser->Stop();
    return false;
  }

  CTarifConditionGroup* Group() const { return groups.empty() ? nullptr : groups.back(); }

  void FlushText() {
    if (element && provider) {
      CString t(text);
      t.Trim();
      if (!t.IsEmpty() && Spend(static_cast<size_t>(t.GetLength()))) element->setText(*provider, t);
    }
    element = nullptr;
    text.clear();
  }

  void FinishProvider() {
    if (!provider) return;
    if (provider->GetId().IsEmpty()) {
      delete provider;
    } else {
      db->SetProvider(provider->GetId(), provider);
      ++stored;
      if (stored > CTarifDatabase::kMaxProviders) {
        tooManyProviders = true;
        parser->Stop();
      }
    }
    provider = nullptr;
    action = nullptr;
    rules = nullptr;
    rule = nullptr;
    groups.clear();
  }

  void StartProvider(const char** atts) {
    FinishProvider();  // a provider inside a provider ends the outer one
    if (!Spend(sizeof(CProvider) + sizeof(CTarifAction), 2)) return;
    provider = new CProvider;
    action = new CTarifAction;
    provider->SetBaseValues(action);
    // Every string of the list, names and values alike: "id" and "active" take the next one.
    for (int i = 0; atts[i]; ++i) {
      if (!atts[i + 1]) break;
      if (Is(atts[i], "id")) provider->SetId(atts[i + 1]);
      if (Is(atts[i], "active")) {
        CString v(atts[i + 1]);
        v.MakeUpper();
        provider->SetActive(v != "N");
      }
    }
  }

  void Set(const char** atts) {
    if (!action) return;
    // A string naming a field takes the string two places further on as its value; a name
    // without a value at the end of the list sets nothing.
    for (int i = 0; atts[i]; ++i) {
      const TarifValue* field = FindValue(atts[i]);
      if (!field) continue;
      if (!atts[i + 1] || !atts[i + 2]) break;
      if (!field->set(*action, atts[i + 2])) {
        parser->Stop();  // the tariff cannot be billed as the file means it: refused whole
        return;
      }
      i += 2;
    }
  }

  void StartRule() {
    if (!provider) return;
    if (!Spend(sizeof(CTarifRuleList) + sizeof(CTarifRule) + sizeof(CTarifAction) + sizeof(CTarifConditionGroup) +
                   sizeof(void*),
               4))
      return;
    if (!rules) {
      rules = new CTarifRuleList;
      provider->SetRuleList(rules);
    }
    rule = new CTarifRule;
    rules->Add(rule);
    action = new CTarifAction;
    rule->SetAction(action);
    CTarifConditionGroup* top = new CTarifConditionGroup(CTarifConditionGroup::modeAnd, nullptr);
    rule->SetCondition(top);
    groups.assign(1, top);
  }

  void StartGroup(int mode) {
    if (static_cast<int>(groups.size()) >= CTarifDatabase::kMaxGroupDepth) {
      parser->Stop();
      return;
    }
    CTarifConditionGroup* parent = Group();
    CTarifConditionGroup* g = nullptr;
    if (parent) {
      if (!Spend(sizeof(CTarifConditionGroup) + sizeof(void*))) return;
      g = new CTarifConditionGroup(mode, parent);
      parent->AddChild(g);
    }
    groups.push_back(g);
  }

  void NoteVariable(const CString& var) {
    if (!provider) return;
    if (var == "online.monat" || var == "anrufe.monat") provider->SetUsagePeriod(1);
    if (var == "online.woche" || var == "anrufe.woche") provider->SetUsagePeriod(2);
    if (var == "online.tag" || var == "anrufe.tag") provider->SetUsagePeriod(3);
    if (var.Find("anrufe") >= 0) provider->SetCountsCalls(TRUE);
  }

  void Compare(int op, const char** atts) {
    // The first attribute's value names the variable, the second's is the operand (names do
    // not count). A missing operand reads as an empty text.
    if (!atts[0] || !atts[1]) return;
    CString var(atts[1]);
    const char* operand = (atts[2] && atts[3]) ? atts[3] : "";
    NoteVariable(var);
    CTarifConditionGroup* g = Group();
    if (!g) return;
    // One comparison: the object, its copy of the name, its place in the group.
    const size_t comparison = sizeof(CTarifComparison) + static_cast<size_t>(var.GetLength()) + 1 + sizeof(void*);
    if (!Spend(comparison, 2)) return;
    if (op != CTarifComparison::opInRange) {
      int value = std::atoi(operand);
      if (var == "feiertag" && (op == CTarifComparison::opEqual || op == CTarifComparison::opNotEqual))
        value = Is(operand, "N") ? 0 : 1;
      g->AddChild(new CTarifComparison(var, op, value));
      return;
    }
    CString range(operand);
    if (range.Find(',') < 0) {
      int dash = range.Find('-');
      if (dash < 0) g->AddChild(new CTarifComparison(var, op, 0, std::atoi(range)));
      else g->AddChild(new CTarifComparison(var, op, std::atoi(range.Left(dash)), std::atoi(range.Mid(dash + 1))));
      return;
    }
    if (!Spend(sizeof(CTarifConditionGroup))) return;
    CTarifConditionGroup* any = new CTarifConditionGroup(CTarifConditionGroup::modeOr, g);
    g->AddChild(any);
    int start = 0;
    while (start <= range.GetLength()) {
      if (start > 0 && !Spend(comparison, 2)) return;
      int comma = range.Find(',', start);
      if (comma < 0) comma = range.GetLength();
      CString item = range.Mid(start, comma - start);
      int dash = item.Find('-');
      if (dash < 0) {
        any->AddChild(new CTarifComparison(var, CTarifComparison::opEqual, std::atoi(item)));
      } else if (dash == 0) {
        any->AddChild(new CTarifComparison(var, CTarifComparison::opLessEqual, std::atoi(item.Mid(1))));
      } else if (dash == item.GetLength() - 1) {
        any->AddChild(new CTarifComparison(var, CTarifComparison::opGreaterEqual, std::atoi(item.Left(dash))));
      } else {
        any->AddChild(new CTarifComparison(var, CTarifComparison::opInRange, std::atoi(item.Left(dash)),
                                           std::atoi(item.Mid(dash + 1))));
      }
      start = comma + 1;
    }
  }
};

void XMLCALL OnStart(void* user, const char* name, const char** atts) {
  ParseState& s = *static_cast<ParseState*>(user);
  if (s.overBudget) return;
  s.FlushText();
  const TarifElement* e = FindElement(name);
  if (!e) return;
  switch (e->opens) {
    case Opens::provider: s.StartProvider(atts); break;
    case Opens::text: s.element = e; break;
    case Opens::values: s.Set(atts); break;
    case Opens::rule: s.StartRule(); break;
    case Opens::group: s.StartGroup(e->kind); break;
    case Opens::comparison: s.Compare(e->kind, atts); break;
  }
}

void XMLCALL OnEnd(void* user, const char* name) {
  ParseState& s = *static_cast<ParseState*>(user);
  s.FlushText();
  const TarifElement* e = FindElement(name);
  if (!e) return;
  if (e->opens == Opens::provider) {
    s.FinishProvider();
  } else if (e->opens == Opens::rule) {
    s.action = nullptr;
    s.rule = nullptr;
    s.groups.clear();
  } else if (e->opens == Opens::group) {
    if (s.groups.size() > 1 || (s.groups.size() == 1 && !s.rule)) s.groups.pop_back();
  }
}

void XMLCALL OnText(void* user, const char* text, int len) {
  ParseState& s = *static_cast<ParseState*>(user);
  if (s.element) s.text.append(text, static_cast<size_t>(len));
}

}  // namespace

CTarifDatabase::CTarifDatabase() : providers(10) {}

CTarifDatabase::~CTarifDatabase() { RemoveAllProviders(); }

BOOL CTarifDatabase::ParseBuffer(const char* data, size_t length) {
  tooManyProviders = FALSE;
  if (length > kDataFileLimit) return FALSE;
  ParseState state;
  state.db = this;
  state.allowance = length < (kDataBuildBudget - kBuildForAnyDocument) / kBuildPerDocumentByte
                        ? kBuildForAnyDocument + length * kBuildPerDocumentByte
                        : kDataBuildBudget;
  CDataXmlParser parser;
  if (!parser.IsValid()) return FALSE;
  state.parser = &parser;
  parser.SetHandlers(&state, OnStart, OnEnd, OnText);
  // The whole document in one call, not marked final: a file cut off after a complete element
  // is accepted, only malformed content fails.
  BOOL ok = parser.Parse(data, length, false) && !state.overBudget;
  // A provider the document did not finish is incomplete and is dropped.
  delete state.provider;
  tooManyProviders = state.tooManyProviders ? TRUE : FALSE;
  // A document that yields no provider (empty, cut off in its first provider, or made only of
  // elements the reader does not know) is no tariff: the user must hear of it rather than
  // start with an empty list.
  return ok && state.stored > 0;
}

BOOL CTarifDatabase::ParseFile() {
  tooManyProviders = FALSE;
  if (!settings) return FALSE;
  std::string buf;
  if (!ReadDataFile(settings->DataFile("tarif.dat"), buf)) return FALSE;
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&buf[0]), buf.size());
  return ParseBuffer(buf.data(), buf.size());
}

void CTarifDatabase::Load(CSettings* s, CTarifConnection* c) {
  settings = s;
  connection = c;
  RemoveAllProviders();  // a second load starts afresh, no list keeps an old record
  if (!ParseFile()) {
    RemoveAllProviders();
    AddDefaultProvider();
    GetTarifUi().ShowError(tooManyProviders ? kTarifTooManyProviders : kTarifUnreadable, kTitle);
  }
  SortActiveByName();
}

BOOL CTarifDatabase::Reload() {
  passingByName.RemoveAll();
  filteredOutByName.RemoveAll();
  activeByName.RemoveAll();
  ranking.RemoveAll();
  // The connected provider's record is taken out before the others are deleted: when the new
  // data lack it, the connection keeps it.
  CString held;
  std::unique_ptr<CProvider> former;
  if (CProvider* connected = connection ? connection->GetConnectedProvider() : nullptr) {
    held = connected->GetId();
    CObject* obj = nullptr;
    if (providers.Lookup(held, obj) && obj == connected) {
      providers.RemoveKey(held);
      former.reset(connected);
    }
  }
  RemoveAllProviders();
  const BOOL ok = ParseFile();
  if (!ok) {
    RemoveAllProviders();
    AddDefaultProvider();
  }
  if (!held.IsEmpty()) {
    // An inactive record is never ranked and has no price: the connection keeps the old one.
    CProvider* fresh = Find(held);
    if (fresh && fresh->IsActive())
      connection->SetConnectedProvider(fresh);
    else if (former)
      connection->KeepFormerProvider(std::move(former));
  }
  if (!ok) {
    GetTarifUi().ShowError(tooManyProviders ? kTarifTooManyProviders : kTarifUnreadable, kTitle);
    return FALSE;
  }
  SortActiveByName();
  return TRUE;
}

void CTarifDatabase::RemoveAllProviders() {
  DeleteAllValues(providers);
  ranking.RemoveAll();
  activeByName.RemoveAll();
  passingByName.RemoveAll();
  filteredOutByName.RemoveAll();
}

void CTarifDatabase::AddDefaultProvider() {
  CSettings own;
  const CProvider* src = (settings ? settings : &own)->GetProvider();
  CProvider* p = new CProvider;
  p->SetId(src->GetId());
  p->SetPhoneNumber(src->GetPhoneNumber());
  p->SetUserName(src->GetUserName());
  p->SetPassword(src->GetPassword());
  p->SetPrice(src->GetPrice());
  // Its price is its base value: every ranking starts the provider from its base values, and
  // without them from zero, which would bill a broken tariff file at 0.00.
  CTarifAction* base = new CTarifAction;
  base->SetPrice(src->GetPrice());
  p->SetBaseValues(base);
  p->SetName(src->GetName());
  p->SetInfo(kDefaultProviderInfo);
  SetProvider(p->GetId(), p);
}

void CTarifDatabase::SetProvider(const CString& id, CProvider* provider) {
  CObject* old = nullptr;
  if (providers.Lookup(id, old) && old != provider) {
    // No list may keep the record that is replaced.
    CProvider* gone = static_cast<CProvider*>(old);
    ranking.Remove(gone);
    for (CProviderArray* arr : {&activeByName, &passingByName, &filteredOutByName})
      for (int i = arr->GetSize() - 1; i >= 0; --i)
        if ((*arr)[i] == gone) arr->RemoveAt(i);
    delete gone;
  }
  providers.SetAt(id, provider);
}

BOOL CTarifDatabase::Lookup(const CString& id, CProvider*& provider) const {
  CObject* obj = nullptr;
  if (!providers.Lookup(id, obj)) return FALSE;
  provider = static_cast<CProvider*>(obj);
  return TRUE;
}

CProvider* CTarifDatabase::Find(const CString& id) const {
  CProvider* p = nullptr;
  return Lookup(id, p) ? p : nullptr;
}

void CTarifDatabase::InsertByName(CProviderArray& arr, CProvider* p) {
  // Before the first entry whose name is not lower; the array is sorted, so a binary search
  // finds that place (equal names: the new one goes in front of them).
  int lo = 0, hi = arr.GetSize();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (arr[mid]->GetName().Compare(p->GetName()) < 0) lo = mid + 1;
    else hi = mid;
  }
  arr.InsertAt(lo, p);
}

void CTarifDatabase::SortActiveByName() {
  activeByName.RemoveAll();
  CString key;
  CObject* obj;
  for (POSITION pos = providers.GetStartPosition(); pos;) {
    providers.GetNextAssoc(pos, key, obj);
    CProvider* p = static_cast<CProvider*>(obj);
    if (p->IsActive()) InsertByName(activeByName, p);
  }
}

const CProviderArray& CTarifDatabase::BuildFilteredLists() {
  passingByName.RemoveAll();
  filteredOutByName.RemoveAll();
  CProviderFilter filter = CProviderFilter::Read(settings);
  CString key;
  CObject* obj;
  for (POSITION pos = providers.GetStartPosition(); pos;) {
    providers.GetNextAssoc(pos, key, obj);
    CProvider* p = static_cast<CProvider*>(obj);
    if (!p->IsActive()) continue;
    InsertByName(filter.IsFilteredOut(p) ? filteredOutByName : passingByName, p);
  }
  return passingByName;
}

int CTarifDatabase::CheckTarifBuffer(const char* data, size_t length, const CString& wantedId, bool findAny) {
  if (length > kDataFileLimit) return 2;
  std::string buf(data, length);
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&buf[0]), buf.size());
  // The download is read as the program will read it after it replaced tarif.dat: whatever would
  // make that read fail (a malformed document, no provider, a value out of its range, a document
  // beyond the budget) keeps the old file.
  CTarifDatabase fresh;
  if (!fresh.ParseBuffer(buf.data(), buf.size())) return 2;
  return findAny || fresh.Find(wantedId) ? 0 : 1;
}

int CTarifDatabase::CheckTarifFile(const char* path) const {
  CString wanted;
  bool any = true;
  if (connection && connection->GetConnectedProvider()) {
    wanted = connection->GetConnectedProvider()->GetId();
    any = false;
  }
  std::string buf;
  if (!ReadDataFile(path, buf)) return 2;
  return CheckTarifBuffer(buf.data(), buf.size(), wanted, any);
}

CProviderRanking& CTarifDatabase::Rank(CRankOrder* order, const CTarifContext& context, int* changes,
                                       CProvider* current) {
  *changes = 0;
  bool hadFreeMinutes = false;
  int oldPlace = -1;
  if (current) {
    hadFreeMinutes = current->GetFreeMinutes() > 0;
    oldPlace = ranking.FindUsable(current->GetId());
  }
  ranking.RemoveAll();
  ranking.SetOrder(order);
  // The filter settings are read once for the whole ranking.
  CProviderFilter filter = CProviderFilter::Read(settings);
  CString key;
  CObject* obj;
  std::vector<CProvider*> ranked;
  ranked.reserve(static_cast<size_t>(providers.GetCount()));
  for (POSITION pos = providers.GetStartPosition(); pos;) {
    providers.GetNextAssoc(pos, key, obj);
    CProvider* p = static_cast<CProvider*>(obj);
    if (!p->IsActive()) continue;
    p->ApplyTariff(context);
    if (!filter.IsFilteredOut(p)) ranked.push_back(p);
  }
  ranking.InsertAll(ranked);
  if (current) {
    int newPlace = ranking.FindUsable(current->GetId());
    if (oldPlace >= 0 && newPlace > oldPlace && current->GetPrice() > 0) *changes += 2;
    if (current->GetFreeMinutes() == 0 && hadFreeMinutes) *changes += 1;
  }
  return ranking;
}
