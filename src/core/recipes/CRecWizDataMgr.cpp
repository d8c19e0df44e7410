#include "core/recipes/CRecWizDataMgr.h"

CActionDetails& CRecWizDataMgr::ResetAction(qsizetype j)
{
    if (m_details.size() < j + 1) {
        // Entries made only to reach index j hold 0 or empty until their own page stores them.
        CActionDetails zero;
        zero.exitCode = 0;
        while (m_details.size() < j + 1)
            m_details.append(zero);
    }
    m_details[j] = CActionDetails();
    return m_details[j];
}

void CRecWizDataMgr::Truncate(qsizetype count)
{
    if (m_details.size() > count)
        m_details.resize(count);
}
