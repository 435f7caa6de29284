#include "Provider.h"

IMPLEMENT_DYNAMIC(CTarifAction, CObject)
IMPLEMENT_DYNAMIC(CTarifCondition, CObject)
IMPLEMENT_DYNAMIC(CTarifRule, CObject)
IMPLEMENT_DYNAMIC(CTarifRuleList, CObject)
IMPLEMENT_DYNAMIC(CProvider, CObject)

void CTarifAction::Apply(CProvider* p, BOOL all) const {
  if (all || hasPrice) p->SetPrice(hasPrice ? price : 0.0f);
  if (all || hasBaseFee) p->SetBaseFee(hasBaseFee ? baseFee : 0.0f);
  if (all || hasFreeMinutes) p->SetFreeMinutes(hasFreeMinutes ? freeMinutes : 0);
  if (all || hasTakt) p->SetTakt(hasTakt ? takt : 1);
  if (all || hasDialInFee) p->SetDialInFee(hasDialInFee ? dialInFee : 0.0f);
}

CTarifRule::~CTarifRule() {
  delete action;
  delete condition;
}

BOOL CTarifRule::Matches(const CProvider* p, const CTarifContext& c) const {
  return condition ? condition->Evaluate(p, c) : TRUE;
}

void CTarifRule::Apply(CProvider* p) const {
  if (action) action->Apply(p, FALSE);
}

CTarifRuleList::~CTarifRuleList() {
  for (int i = 0; i < rules.GetSize(); ++i) delete rules[i];
}

void CTarifRuleList::Apply(CProvider* p, const CTarifContext& c) const {
  for (int i = 0; i < rules.GetSize(); ++i)
    if (rules[i]->Matches(p, c)) rules[i]->Apply(p);
}

CProvider::~CProvider() {
  delete baseValues;
  delete ruleList;
}

void CProvider::SetBaseValues(CTarifAction* a) {
  if (a != baseValues) delete baseValues;
  baseValues = a;
}

void CProvider::SetRuleList(CTarifRuleList* list) {
  if (list != ruleList) delete ruleList;
  ruleList = list;
}

void CProvider::FixUmlauts(CString& text) {
  // Second byte of the UTF-8 pair after 0xC3, and the code page 1252 letter it stands for.
  static const unsigned char from[] = {0x84, 0x96, 0x9C, 0x9F, 0xA4, 0xB6, 0xBC};
  static const char to[] = {'\xC4', '\xD6', '\xDC', '\xDF', '\xE4', '\xF6', '\xFC'};
  const std::string& in = text.str();
  if (in.find('\xC3') == std::string::npos) return;
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\xC3') {
      out += in[i];
      continue;
    }
    if (i + 1 < in.size()) {
      unsigned char second = static_cast<unsigned char>(in[i + 1]);
      for (int k = 0; k < 7; ++k)
        if (from[k] == second) out += to[k];
    }
    ++i;  // the pair is replaced or dropped
  }
  text = CString(out);
}

void CProvider::ApplyTariff(const CTarifContext& context) {
  if (baseValues) {
    baseValues->Apply(this, TRUE);
  } else {
    CTarifAction defaults;
    defaults.Apply(this, TRUE);
  }
  if (ruleList) ruleList->Apply(this, context);
}

int CProvider::Compare(const CProvider* o) const {
  if (price != o->price) return price < o->price ? -1 : 1;
  if (periodStart != o->periodStart) return periodStart < o->periodStart ? -1 : 1;
  if (takt != o->takt) return takt < o->takt ? -1 : 1;
  if (baseFee != o->baseFee) return baseFee < o->baseFee ? -1 : 1;
  if (registered != o->registered) return registered ? -1 : 1;
  if (loginRequired != o->loginRequired) return loginRequired ? 1 : -1;
  return name.Compare(o->name);
}
