// STUB: to be implemented.
#include "param/ConvParam.h"
CConvParam::CConvParam(CPlatform& platform)
    : m_selCond(new CSelCond[kOrGroups * kAndTerms]),
      m_editDef(new CEditDef[kEditDefs]),
      m_editCond(new CEditCond[kEditDefs * kAndTerms]),
      m_valueEdit(&platform),
      m_platform(platform) {}
int CConvParam::ParseOptStatement() { return 10; }
int CConvParam::ParseFunctionStatement() { return 12; }
bool CConvParam::IsFolderMode() const { return false; }
