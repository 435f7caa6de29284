#include "Provider.h"

#include "Cp1252.h"

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
  const std::string& in = text.str();
  for (char c : in)
    if (static_cast<unsigned char>(c) >= 0x80) {
      text = CString(Utf8ToCp1252(in));
      return;
    }
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
