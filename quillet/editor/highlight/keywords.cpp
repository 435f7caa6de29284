#include "keywords.h"

#include "sysutils.h"

namespace {

// Stored with a blank before and after every word; a few words are separated by two blanks.
const char* const kLists[kwListCount] = {
    // Pascal
    " constructor destructor record procedure with of repeat until try finally except for to"
    " downto case type interface implementation initialization finalization default private"
    " public protected published automated property program read write override object nil"
    " raise on set xor shr shl begin end args if then else endif goto while do var true false"
    " or and not mod unit function uses external const class inherited ",
    // C++
    " __asm _asm asm auto __automated break bool case catch __cdecl _cdecl cdecl char class"
    " __classid __closure const const_cast continue __declspec default delete __dispid do"
    " double dynamic_cast else enum __except explicit _export __export extern false __fastcall"
    " _fastcall __finally float for friend goto if __import _import inline int __int8 __int16"
    " __int32 __int64 long mutable namespace new operator __pascal _pascal pascal private"
    " protected __property public __published register reinterpret_cast return __rtti short"
    " signed sizeof static static_cast __stdcall _stdcall struct switch template this __thread"
    " throw true __try try typedef typename typeid union using unsigned virtual void volatile"
    " wchar_t while ",
    // SQL
    " active as add asc after ascending all at alter auto and autoddl any avg based between"
    " basename blob base_name blobedit before buffer begin by cache compiletime cast computed"
    " char close character conditional character_length connect char_length constraint check"
    " containing check_point_len continue check_point_length count collate create collation"
    " cstring column current commit cursor committed database descending date describe db_key"
    " descriptor debug disconnect dec display decimal distinct declare do default domain delete"
    " double desc drop echo exception edit execute else exists end exit entry_point extern"
    " escape external event extract fetch foreign file found filter from float full for"
    " function gdscode grant generator group gen_id commit_group_wait global"
    " group_commit_wait_time goto having help if input_type immediate insert in int inactive"
    " integer index into indicator is init isolation inner isql input join key lc_messages like"
    " lc_type logfile left log_buffer_size length log_buf_size lev long level manual merge max"
    " message maximum min maximum_segment minimum max_segment module_name names not national"
    " null natural numeric nchar num_log_bufs no num_log_buffers noauto octet_length or of"
    " order on outer only output open output_type option overflow page post_event pagelength"
    " precision pages prepare page_size procedure parameter protected password primary plan"
    " privileges position public quit raw_partitions retain rdb db_key return read"
    " returning_values real returns record_version revoke references right release rollback"
    " reserv runtime reserving schema sql segment sqlcode select sqlerror set sqlwarning shadow"
    " stability shared starting shell starts show statement singular static size statistics"
    " smallint sub_type snapshot sum some suspend sort table translate terminator translation"
    " then trigger to trim transaction uncommitted upper union user unique using update value"
    " varying values version varchar view variable wait while when with whenever work where"
    " write term new old ",
    // Python
    " and del for is raise assert elif from lambda return break else global not try class"
    " except if or while continue exec import pass def finally in print ",
    // Java
    " abstract delegate if boolean do implements break double import byte else instanceof case"
    " extends int catch false interface char final long class finally multicast continue float"
    " default for native short transient new static true null super try package switch void"
    " private synchronized volatile protected this while public throw return throws ",
    // VB keywords
    " as and base binary byref byval call case class compare const date debug declare deftype"
    " dim do each else elseif empty end endif enum eqv erase error event execute exit explicit"
    " false for friend function get global gosub goto if imp implements input is kill len let"
    " line load lock loop lset me mid mod name new next not nothing null on open option"
    " optional or paramarray preserve print private property public raiseevent randomize redim"
    " rem resume return seek select set static step string sub then time to true unlock until"
    " wend while with withevents xor ",
    // VB functions
    " access alias any beep ccur cdbl chdir chdrive choose chr cint clear clng clone close cls"
    " command compare cos csng cstr curdir currency cvar cvdate defcur defdbl defint deflng"
    " defsng defstr deftype defvar delete deletesetting doevents double dynaset edit environ eof"
    " erl err exp fix format hex int integer isdate isempty isnull isnumeric lbound lcase lib"
    " like loc local lof long mkdir oct output pset put random read refresh reset restore rmdir"
    " rnd rset savesetting sendkeys shared single stop system text type typeof ubound unload"
    " using variant vartype write ",
    // HTML tags
    " doctype a address applet area b base basefont bgsound big blink blockquote body br"
    " caption center cite code col colgroup comment dfn dir li div dl dt dd em embed font form"
    " frame frameset h align h1 h2 h3 h4 h5 h6 head hr html i iframe img input isindex kbd link"
    " listing map marquee menu meta multicol nextid nobr noframes noscript object ol option p"
    " plaintext pre s samp script select small sound spacer span strike strong style sub sup"
    " table tbody td textarea tfoot th thead title tr tt u ul var wbr xmp ",
    // HTML entities
    " Aacute aacute acirc Acirc acute AElig aelig agrave Agrave alefsym alpha Alpha AMP amp and"
    " ang Aring aring asymp atilde Atilde Auml auml bdquo beta Beta brvbar bull cap Ccedil"
    " ccedil cedil cent chi Chi circ clubs cong copy COPY crarr cup curren dagger Dagger dArr"
    " darr deg Delta delta diams divide eacute Eacute ecirc Ecirc Egrave egrave empty emsp ensp"
    " Epsilon epsilon equiv eta Eta ETH eth Euml euml euro exist fnof forall frac12 frac14"
    " frac34 frasl Gamma gamma ge gt GT harr hArr hearts hellip iacute Iacute Icirc icirc iexcl"
    " Igrave igrave image infin int Iota iota iquest isin Iuml iuml kappa Kappa Lambda lambda"
    " lang laquo larr lArr lceil ldquo le lfloor lowast loz lrm lsaquo lsquo lt LT macr mdash"
    " micro middot minus mu Mu nabla nbsp ndash ne ni not notin nsub Ntilde ntilde Nu nu oacute"
    " Oacute ocirc Ocirc oelig OElig ograve Ograve oline Omega omega omicron Omicron oplus or"
    " ordf ordm Oslash oslash Otilde otilde otimes ouml Ouml para part permil perp phi Phi Pi pi"
    " piv plusmn pound Prime prime prod prop psi Psi quot QUOT radic rang raquo rArr rarr rceil"
    " rdquo real REG reg rfloor Rho rho rlm rsaquo rsquo sbquo scaron Scaron sdot sect shy"
    " Sigma sigma sigmaf sim spades sub sube sum sup sup1 sup2 sup3 supe szlig Tau tau there4"
    " Theta theta thetasym thinsp THORN thorn tilde times trade Uacute uacute uArr uarr ucirc"
    " Ucirc ugrave Ugrave uml upsih upsilon Upsilon uuml Uuml weierp xi Xi Yacute yacute yen"
    " yuml Yuml zeta Zeta zwj zwnj ",
    // Perl keywords
    " sub if else unless foreach next local return defined until while do elsif eq ",
    // Perl functions
    " stat die open print push close defined chdir last read chop keys sort bind unlink select"
    " length ",
};

bool LowerCased(TKeywordList list) {
  return list == kwPascal || list == kwSql || list == kwHtmlTags || list == kwHtmlEntities;
}

const std::string& Stored(TKeywordList list) {
  static const std::string* lists = [] {
    static std::string s[kwListCount];
    for (int i = 0; i < kwListCount; ++i) s[i] = kLists[i];
    return s;
  }();
  return lists[list];
}

}  // namespace

const std::string& KeywordList(TKeywordList list) { return Stored(list); }

bool InKeywordList(TKeywordList list, const std::string& token) {
  if (list < 0 || list >= kwListCount) return false;
  std::string probe;
  probe.reserve(token.size() + 2);
  probe.push_back(' ');
  probe += LowerCased(list) ? AnsiLowerCase(token) : token;
  probe.push_back(' ');
  return Stored(list).find(probe) != std::string::npos;
}
