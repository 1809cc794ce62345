#include "monitor/monitor_dlg.h"

#include <chrono>
#include <cstdio>
#include <new>
#include <thread>

#include "monitor/init_done.h"
#include "netbios/nb_commands.h"
#include "res/resource.h"

namespace {

// How long the teardown waits for the service to finish a cancelled receive. A record whose
// receive has not completed by then is left allocated: the service may still write into it.
constexpr auto kCancelWait = std::chrono::seconds(1);

bool WaitForCompletion(UCHAR lana) {
  auto deadline = std::chrono::steady_clock::now() + kCancelWait;
  while (g_LanaRecvDone[lana].load(std::memory_order_acquire) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMonitorDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_CLOSE()
ON_WM_TIMER()
ON_BN_CLICKED(IDC_QUIT, OnCancel)
END_MESSAGE_MAP()

CMonitorDlg::CMonitorDlg(CWnd* pParent) : CDialog(IDD_MONITOR, pParent) {
  m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr;
}

CMonitorDlg::~CMonitorDlg() = default;

void CMonitorDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_STATION_LIST, m_StationList);
}

BOOL CMonitorDlg::OnInitDialog() {
  CString title;
  title.LoadString(IDS_TITLE);
  CDialog::OnInitDialog();
  SetWindowText(title);
  CenterWindow();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  m_pLanaList = new (std::nothrow) LANA_NODE();
  if (!m_pLanaList) {
    g_bInitDone.store(1, std::memory_order_relaxed);
    return FALSE;
  }
  m_pLanaList->next = nullptr;

  int adapters = DiscoverAdapters(2);
  // A close request delivered during discovery has already torn everything down.
  if (!m_pLanaList) {
    g_bInitDone.store(1, std::memory_order_relaxed);
    return FALSE;
  }
  if (adapters == 0) {
    g_bInitDone.store(1, std::memory_order_relaxed);
    SetForegroundWindow();
    AfxMessageBox(IDS_NO_REDIRECTOR, MB_ICONSTOP);
    return FALSE;
  }

  CreateStationColumns();
  m_QuitButton.AutoLoad(IDC_QUIT, this);
  m_QuitButton.SetFocus();
  g_bInitDone.store(1, std::memory_order_relaxed);
  SetForegroundWindow();
  StartTimers();
  return TRUE;
}

void CMonitorDlg::OnPaint() {
  if (!IsIconic()) {
    Default();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cx = GetSystemMetrics(SM_CXICON);
  int cy = GetSystemMetrics(SM_CYICON);
  RECT rect;
  GetClientRect(&rect);
  int x = (rect.right - rect.left - cx + 1) / 2;
  int y = (rect.bottom - rect.top - cy + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMonitorDlg::OnQueryDragIcon() { return m_hIcon; }

void CMonitorDlg::OnClose() {
  ShutdownNetwork();
  Default();
}

void CMonitorDlg::ShutdownNetwork() {
  StopTimers();
  if (m_pLanaList) {
    LANA_NODE* node = m_pLanaList->next;
    while (node) {
      bool completed = true;
      if (g_LanaRecvDone[node->lana_num].load(std::memory_order_acquire) == 0) {
        NbCancel(&node->recv_ncb, node->lana_num);
        completed = WaitForCompletion(node->lana_num);
      }
      LANA_NODE* next = node->next;
      NbDeleteName(node->lana_num, MONITOR_GROUP_NAME);
      if (completed) {
        delete node;
      } else {
        std::fprintf(stderr,
                     "%s: the NetBIOS service did not finish the cancelled receive on LANA %d; "
                     "its record stays allocated\n",
                     AfxGetAppName(), node->lana_num);
      }
      node = next;
    }
    delete m_pLanaList;
    m_pLanaList = nullptr;
  }
  m_StationList.DeleteAllItems();
}
