// One internet-by-call provider: its data from the tariff file, its tariff (base values and an
// ordered list of rules, each a condition and an action), its current tariff values after the
// rules of the moment, and the usage copied from the free-minute protocol. The kinds of condition
// and the ranking are in TarifRules.h.
#pragma once

#include "CArray.h"
#include "CObject.h"
#include "COleDateTime.h"
#include "CString.h"

class CTarifContext;
class CProvider;

// Five optional tariff values; applying writes the set ones (or, with `all`, every one, unset
// values as their defaults).
class CTarifAction : public CObject {
  DECLARE_DYNAMIC(CTarifAction)
 public:
  void SetPrice(float v) { price = v; hasPrice = 1; }
  void SetBaseFee(float v) { baseFee = v; hasBaseFee = 1; }
  void SetFreeMinutes(int v) { freeMinutes = v; hasFreeMinutes = 1; }
  void SetTakt(int v) { takt = v; hasTakt = 1; }
  void SetDialInFee(float v) { dialInFee = v; hasDialInFee = 1; }
  void Apply(CProvider* provider, BOOL all) const;

  float price = 0;
  BYTE hasPrice = 0;
  float baseFee = 0;
  BYTE hasBaseFee = 0;
  int freeMinutes = 0;
  BYTE hasFreeMinutes = 0;
  int takt = 1;
  BYTE hasTakt = 0;
  float dialInFee = 0;
  BYTE hasDialInFee = 0;
};

// A condition of a rule (the kinds are in TarifRules.h).
class CTarifCondition : public CObject {
  DECLARE_DYNAMIC(CTarifCondition)
 public:
  virtual BOOL Evaluate(const CProvider* provider, const CTarifContext& context) const = 0;
};

class CTarifRule : public CObject {
  DECLARE_DYNAMIC(CTarifRule)
 public:
  CTarifRule() = default;
  ~CTarifRule() override;
  CTarifRule(const CTarifRule&) = delete;
  CTarifRule& operator=(const CTarifRule&) = delete;
  void SetAction(CTarifAction* a) { delete action; action = a; }
  void SetCondition(CTarifCondition* c) { delete condition; condition = c; }
  CTarifAction* GetAction() const { return action; }
  CTarifCondition* GetCondition() const { return condition; }
  BOOL Matches(const CProvider* provider, const CTarifContext& context) const;
  void Apply(CProvider* provider) const;

 private:
  CTarifAction* action = nullptr;
  CTarifCondition* condition = nullptr;
};

class CTarifRuleList : public CObject {
  DECLARE_DYNAMIC(CTarifRuleList)
 public:
  CTarifRuleList() = default;
  ~CTarifRuleList() override;
  CTarifRuleList(const CTarifRuleList&) = delete;
  CTarifRuleList& operator=(const CTarifRuleList&) = delete;
  void Add(CTarifRule* rule) { rules.Add(rule); }
  int GetSize() const { return rules.GetSize(); }
  CTarifRule* GetAt(int i) const { return rules[i]; }
  // Every matching rule in file order applies its set values; later ones override.
  void Apply(CProvider* provider, const CTarifContext& context) const;

 private:
  CTypedPtrArray<CObArray, CTarifRule*> rules;
};

class CProvider : public CObject {
  DECLARE_DYNAMIC(CProvider)
 public:
  CProvider() = default;
  ~CProvider() override;
  CProvider(const CProvider&) = delete;
  CProvider& operator=(const CProvider&) = delete;

  // Narrows a UTF-8 text (as the XML reader hands it over) to code page 1252: every character the
  // code page has becomes its byte, one it lacks '?'; bytes outside a UTF-8 sequence stay
  // (Cp1252.h).
  static void FixUmlauts(CString& text);

  const CString& GetId() const { return id; }
  void SetId(CString v) { FixUmlauts(v); id = v; }
  const CString& GetName() const { return name; }
  void SetName(CString v) { FixUmlauts(v); name = v; }
  const CString& GetUserName() const { return userName; }
  void SetUserName(CString v) { FixUmlauts(v); userName = v; }
  const CString& GetPassword() const { return password; }
  void SetPassword(CString v) { FixUmlauts(v); password = v; }
  const CString& GetInfo() const { return info; }
  void AppendInfo(CString v) { FixUmlauts(v); info += v; }
  void SetInfo(const CString& v) { info = v; }
  const CString& GetPhoneNumber() const { return phoneNumber; }
  void SetPhoneNumber(const CString& v) { phoneNumber = v; }

  float GetPrice() const { return price; }
  void SetPrice(float v) { price = v; }
  float GetBaseFee() const { return baseFee; }
  void SetBaseFee(float v) { baseFee = v; }
  int GetFreeMinutes() const { return freeMinutes; }
  void SetFreeMinutes(int v) { freeMinutes = v; }
  int GetTakt() const { return takt; }
  void SetTakt(int v) { takt = v; }
  float GetDialInFee() const { return dialInFee; }
  void SetDialInFee(float v) { dialInFee = v; }

  BOOL IsLoginRequired() const { return loginRequired; }
  void SetLoginRequired(BOOL v) { loginRequired = v ? 1 : 0; }
  BOOL IsRegistered() const { return registered; }
  void SetRegistered(BOOL v) { registered = v ? 1 : 0; }
  BOOL IsActive() const { return active; }
  void SetActive(BOOL v) { active = v ? 1 : 0; }
  BOOL GetSkipFirstPage() const { return skipFirstPage; }
  void SetSkipFirstPage(BOOL v) { skipFirstPage = v ? 1 : 0; }
  BOOL HasFreeMinutes() const { return hasFreeMinutes; }
  void SetHasFreeMinutes(BOOL v) { hasFreeMinutes = v ? 1 : 0; }
  BOOL CountsCalls() const { return countsCalls; }
  void SetCountsCalls(BOOL v) { countsCalls = v ? 1 : 0; }

  const COleDateTime& GetRegistrationDate() const { return registrationDate; }
  void SetRegistrationDate(const COleDateTime& v) { registrationDate = v; }
  int GetOnlineMinutes() const { return onlineMinutes; }
  void SetOnlineMinutes(int v) { onlineMinutes = v; }
  int GetCallCount() const { return callCount; }
  void SetCallCount(int v) { callCount = v; }
  int GetPeriodDay() const { return periodDay; }
  void SetPeriodDay(int v) { periodDay = v; }
  const COleDateTime& GetPeriodStart() const { return periodStart; }
  void SetPeriodStart(const COleDateTime& v) { periodStart = v; }
  int GetUsagePeriod() const { return usagePeriod; }
  void SetUsagePeriod(int v) { usagePeriod = v; }

  CTarifAction* GetBaseValues() const { return baseValues; }
  void SetBaseValues(CTarifAction* a);
  CTarifRuleList* GetRuleList() const { return ruleList; }
  void SetRuleList(CTarifRuleList* list);

  // Base values (all five written), then every matching rule in file order.
  void ApplyTariff(const CTarifContext& context);
  // -1 when this provider ranks before `other`, 1 when after (0 only for equal names and keys).
  int Compare(const CProvider* other) const;

 private:
  BYTE countsCalls = 0;
  CString info;
  CString password, userName;
  CString id;
  CString phoneNumber;
  CString name;
  CTarifAction* baseValues = nullptr;
  float price = 0;
  float baseFee = 0;
  int freeMinutes = 0;
  int takt = 1;
  float dialInFee = 0;
  BYTE loginRequired = 0;
  BYTE registered = 0;
  BYTE active = 1;
  BYTE skipFirstPage = 0;
  COleDateTime registrationDate;
  int onlineMinutes = 0, callCount = 0;
  CTarifRuleList* ruleList = nullptr;
  int periodDay = 1;
  COleDateTime periodStart;
  int usagePeriod = 0;
  BYTE hasFreeMinutes = 0;
};

// Finds a provider record by its id (the tariff database); none when the id is unknown.
class CProviderLookup {
 public:
  virtual ~CProviderLookup() = default;
  virtual CProvider* Find(const CString& id) const = 0;
};
