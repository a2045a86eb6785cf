<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AtomicFileWriter</name>
    <message>
        <source>磁盘空间不足</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>超出磁盘配额</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>路径中有一部分不是文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘读写出错</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>符号链接太多或成环</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误 %1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存文件“%1”：%2。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>生成文件内容时出错</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1。文件夹中不能新建文件，文件是直接改写的，可能已不完整</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取符号链接（%1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这不是普通文件（设备、管道或套接字），不能用来保存</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于 VRL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口监视工具：同时监视多个串口的通讯，也可向指定串口发送命令</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CAutoSend</name>
    <message>
        <source>报文格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环发送: %1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发发送: %1 行</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDirectoryDialog</name>
    <message>
        <source>选择保存监视报文的目录:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请为%1选择合适的目录:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDlgAutoSave</name>
    <message>
        <source>定时保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时清除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存清除设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>将监视报文定时保存在下面目录：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用保存时本机时间作为文件名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周期请输入 %1 到 %2 之间的整数（分钟）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请指定定时保存监视报文的目录。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDlgFilter</name>
    <message>
        <source>报文过滤设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口数据显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只显示给定序号字节的值为给定字节值的报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字节序号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字节值(HEX)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所有串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用过滤设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过滤设置未应用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1行：有字节值“%2”，但没有字节序号。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1行：有字节序号“%2”，但没有字节值。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1行：字节序号“%2”无效，应为从1起的十进制数（如 5）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1行：字节值“%2”无效，应为一到两位十六进制数（00～FF）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过滤: 开（%1行）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只显示当前串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDlgSend</name>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单行循环发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>指定行：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固定行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>范  围：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>行到</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单行发送周期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发模式发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收到行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发延时：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入一个整数。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFindReplaceDialog</name>
    <message>
        <source>替换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找内容(&amp;N):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换为(&amp;P):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全字匹配(&amp;W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>区分大小写(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>向上(&amp;U)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>向下(&amp;D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找下一个(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全部替换(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CForwarder</name>
    <message>
        <source>%1 字节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，%1 积压超过 %2，已丢弃 %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，%1 未及时取走，待写 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>转发: %1 ⇄ %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLanguageChoice</name>
    <message>
        <source>重新启动 VRL 后以中文显示。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新启动 VRL 后以英文显示。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLineControl</name>
    <message>
        <source>%1 没有调制解调器控制线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）：%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 设备已断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已重新打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 等待设备重新连接（%2）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLockIndicators</name>
    <message>
        <source>大写</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚动</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>就绪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VRL－串口监视工具</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未保存的监视报文已保存到 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭%1(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开%1(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续报文监视</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停报文监视</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续报文监视(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停报文监视(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发现新的串口设备：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已停止接收（%2），请关闭后重新打开</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CModbusDecoding</name>
    <message>
        <source>MODBUS 解析: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CModbusFrameTable</name>
    <message>
        <source>MODBUS 帧表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出 CSV...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 帧</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出 MODBUS 帧表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已导出 %1 帧到 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMonitorFile</name>
    <message>
        <source>无法保存文件“%1”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”太大（%2 MB），监视窗口只能打开 %3 MB 以内的文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”不是监视报文文件：%2！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件“%1”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”有 %2 个字符，超过监视窗口的容量（%3 个字符），无法打开！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”已损坏：%2。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMonitorFiles</name>
    <message>
        <source>无法打开监视报文“%1”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上次程序被终止时，监视窗中未保存的报文已保存到：
%1

现在打开吗？（以后也可以从“文件”菜单的最近文件打开。）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不打开(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开串口监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存串口监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存文件“%1”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最近文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开该文档</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>监视报文已修改，尚未保存。是否保存？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不保存(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存、清除: 每 %1 分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存: 每 %1 分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时清除: 每 %1 分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>监视报文已定时保存到 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存到“%1”失败：%2%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，监视报文未清除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMonitorPrinter</name>
    <message>
        <source>打印</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CPortMapDialog</name>
    <message>
        <source>序列号 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>驱动 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址格式不对</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主机 %1，端口 %2，%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RFC 2217（含波特率等设置）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始 TCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口映射</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备说明</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备路径，如 /dev/ttyUSB0 或 /dev/pts/3；其他机器上的串口（ser2net）：rfc2217://主机:端口 或 tcp://主机:端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口(&amp;P):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备(&amp;D):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远程</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口（端口 1 到 65535）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备路径应为以 / 开头的完整路径，或 rfc2217://主机:端口、tcp://主机:端口。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已不再指向任何设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 现在指向 %2。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSendCommands</name>
    <message>
        <source>发报窗报文无法保存到：
%1
也无法保存到默认文件：
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取发报窗报文文件：
%1

只要不修改发报窗报文，退出时不会覆盖这个文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 未打开，F2 不发送：先在串口设置栏选好串口和参数，按 F5 打开。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

请另选一个文件保存发报窗报文。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存发送窗报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报文格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开发送窗报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取发报窗报文文件：
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSendFrameWnd</name>
    <message>
        <source>发报窗</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发报窗    </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[行 %1，字节 %2 (%3)]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSettingsBar</name>
    <message>
        <source>设置当前串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的校验位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的数据位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的停止位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的打包间隔时间(单位：毫秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打包时间(毫秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前所选串口的流控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>流控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口设置栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未指定设备（工具→端口映射）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置当前串口（%1：%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CTransmitDlg</name>
    <message>
        <source>在串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>透明转发设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>间进行透明转发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需输入不同的串口号！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVRLApp</name>
    <message>
        <source>用 vrl --help 查看用法。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vrl: 没有可用的显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。
在图形桌面中启动 VRL，或用 xvfb-run 在虚拟屏幕上运行。
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVRLSendEdit</name>
    <message>
        <source>&lt;&lt;--设备：PLC；波特率：9600；校验：无；规约：MODUBUS--&gt;&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVRLView</name>
    <message>
        <source>监视窗为空。开始：
1. 在上方串口设置栏选串口（粗体的有设备）、波特率等，按 F5 打开。
2. 在下方发报窗输入一行十六进制报文（如 01 03 00 00 00 02），按 F2 发送。
3. 收到的报文显示在这里（视图→显示发送报文：发出的也显示）；Ctrl+S 保存。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CXRichEditView</name>
    <message>
        <source>找不到“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CheckCode</name>
    <message>
        <source>格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODBUS查询报文长度不能小于6个字节！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效数组！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <source>循环或触发发送设置(&amp;A)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏高级发送窗</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环或触发发送设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环发送(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按设定的周期，循环发送发报窗中的指定行或范围内的各行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发模式发送(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收到与触发表中收到行相同的报文时，自动回送对应的触发行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>触发模式发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加校验(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口(&amp;W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出应用程序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停报文显示(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停报文监视</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示端口(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在报文前显示端口号及收发方向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示发送报文(&amp;D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在监视窗中显示发送的报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示发送报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示时间(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在报文前显示接收或发送的时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开串口(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开COM1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认参数(&amp;D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前串口恢复默认参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口映射(&amp;M)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置各COM编号对应的串口设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口映射</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式接收(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把接收的报文作为字符显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式接收</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏工具栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显隐工具栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏状态栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显隐状态栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口设置栏(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏串口设置栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口设置栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总在最上面(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使窗口总在其他窗口的上面</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总在最上面</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>居中(&amp;G)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕中央</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>居中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上半部(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕上半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下半部(&amp;B)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕下半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>左半部(&amp;L)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕左半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>左半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右半部(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口位于屏幕右半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右半部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 VRL(&amp;A)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示程序信息、版本号和版权</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报文过滤设置(&amp;F)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只显示给定字节为给定值的报文，或只显示当前串口的报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报文过滤设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>转发设置(&amp;Z)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在两个串口之间透明转发收到的报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>转发设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>以中文显示（重新启动后生效）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>以英文显示（重新启动后生效）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新启动后生效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>置位或复位当前串口的DTR线（数据终端就绪）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>置位或复位当前串口的RTS线（请求发送）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>断开后自动重新打开(&amp;U)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口设备拔出后再插入时自动重新打开串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动重新打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式收发的文本按GBK编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式收发的文本按UTF-8编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开监视报文(&amp;O)...	Ctrl+O</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开一个现有监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存监视报文(&amp;S)...	Ctrl+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存、清除(&amp;T)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时保存清除监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时打开上次的串口(&amp;L)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时重新打开上次退出时打开着的串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时打开上次的串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动单行发报(&amp;W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送发报窗中光标所在行的报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动单行发报</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发报窗(&amp;W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏发报窗</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发报窗</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>累加和(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只保留低字节的求和校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单字节求和校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留高位的累加和(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留高位的求和校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>双字节求和校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODBUS规约CRC(&amp;M)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODBUS规约查询报文CRC校验，同ANSI标准16位CRC，只校验前6个字节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODBUS规约查询报文CRC校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT标准16位CRC(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT V.41，16位CRC校验，x16+x12+x5+1，即0x11021</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT 16位CRC校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT标准  8位CRC(&amp;D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT V.41，8位CRC校验，x8+x2+x+1，即0x107</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CCITT 8位CRC校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ANSI标准16位CRC(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ANSI，16位CRC校验，x16+x15+x2+1，即0x18005</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ANSI 16位CRC校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CDT规约CRC(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CDT规约CRC校验，同CCITT标准8位CRC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CDT规约CRC校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开发送报文(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开发报窗报文文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开发送报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存发送报文(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把发报窗的报文保存到文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存发送报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送后跳到下行(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动发送一行后，光标跳到发报窗的下一行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送后跳到下行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把发报窗的报文作为字符发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加文始符STX(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文前添加文始符STX(02H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加文始符STX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加文终符ETX(&amp;E)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加文终符ETX(03H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加文终符ETX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加回车符(&amp;D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加回车符CR(0DH)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加回车符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加换行符(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加换行符LF(0AH)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加换行符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间显示时钟毫秒(&amp;M)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间戳显示时钟的毫秒（HH:MM:SS.mmm）；不选时显示距上一时间戳的毫秒数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间显示时钟毫秒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC接收显示全部字节(&amp;B)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC模式接收时显示报文的每个字节：控制字节显示为\r、\n、\0、\x1B等，零字节不截断报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASC接收显示全部字节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印(&amp;P)...	Ctrl+P</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印监视窗报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印预览(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示整页</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>改变打印机及打印选项</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤消(&amp;U)	Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤消最后一步操作</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>剪切(&amp;T)	Ctrl+X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>剪切所选内容并将其放到剪贴板上</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>剪切</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制(&amp;C)	Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制所选内容并将其放到剪贴板上</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>粘贴(&amp;P)	Ctrl+V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>插入剪贴板内容</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全选(&amp;L)	Ctrl+A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择全部报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找(&amp;F)...	Ctrl+F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找指定的文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找下一个(&amp;I)	F3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换(&amp;E)	Ctrl+H</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用其他文字替换指定的文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除监视窗报文(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除监视窗报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除监视报文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只读(&amp;Y)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置监视窗为只读模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切换只读模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动换行(&amp;W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文字自动换行模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切换自动换行</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--port 后缺少 COMn=设备路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口参数格式不对：%1（应为 COMn=设备路径，n 为 1 到 256）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远程端口的地址格式不对：%1（应为 rfc2217://主机:端口 或 tcp://主机:端口）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--open 后缺少串口（如 COM3）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口参数格式不对：%1（应为 COMn，n 为 1 到 256）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知选项：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只能指定一个监视报文文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用法: vrl [选项] [监视报文文件.tnf]
VRL－串口监视工具：同时监视多个串口的通讯，也可向指定串口发送命令。

选项:
  --port COMn=路径   让 COMn 指向该设备（如 /dev/ttyUSB0、/dev/pts/3），可重复；设置被保存
                     其他机器上的串口（ser2net）：rfc2217://主机:端口 或 tcp://主机:端口
  --open COMn        启动时打开该串口（用它保存的参数），可重复
  --help             显示本帮助并退出
  --version          显示版本并退出

给出的监视报文文件在启动时载入监视窗。
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HexText</name>
    <message>
        <source>长度不能小于 1 个字节！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最后不能为半个字节！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最后多出一个非ASCII字符，其16进制为：  %02X H</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最后多出一个字符：  &apos; %c &apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节后为非ASCII字符，其16进制为：  %02X H。必须改为  空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节后的字符  &apos; %c &apos;  必须改为  空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的高位不能为  空格，必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的低位不能为  空格，必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的高位为非ASCII字符，其16进制为：  %02X H。必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的低位为非ASCII字符，其16进制为：  %2X H。必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的高位不能为  &apos; %c &apos;，必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 个字节的低位不能为  &apos; %c &apos;，必须是16进制数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %d 行    报文格式出错：

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

报文格式：
1、每 2 个字节间有一个空格；
2、每个字节必须为16进制数：0~9，a~f，A~F；
3、最后一个字节后不能有任何字符。

示例报文(共5个字节)：EB  90  02  34  0D</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IniSettingsStore</name>
    <message>
        <source>没有读取权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件大于 16 MB，不是设置文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取出错：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内容不是文本，文件可能已损坏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存设置文件“%1”：无法创建它所在的文件夹。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件“%1”无法读取（%2），也无法改名保留（%3）。程序使用默认设置，且不会覆盖这个文件，本次的设置不会保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件“%1”无法读取（%2），已改名保留为“%3”。程序使用默认设置。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModbusDescriber</name>
    <message>
        <source>读线圈</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读离散输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读保持寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读输入寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写单个线圈</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写单个寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写多个线圈</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写多个寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>屏蔽写寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读写多个寄存器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>功能 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>非法功能</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>存储奇偶性差错</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关路径不可用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关目标设备无响应</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>异常码 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效数据 %1 字节（不成帧）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起始 %1 数量 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 异常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>异常 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 个: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字节数 %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读 起始 %1 数量 %2 写 起始 %3 数量 %4: %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（无效值）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址 %1 值 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与 %1 或 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址 %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>广播</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从站 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正确</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误，收到 %1，应为 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModbusFrameLog</name>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从站</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>功能</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应答延时(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无应答</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModbusMonitor</name>
    <message>
        <source>  应答 %1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未应答即有新请求</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ms 内未应答</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  无应答（%1）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModemLines</name>
    <message>
        <source>CTS/DSR/DCD/RI 不可用</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortSettings</name>
    <message>
        <source>奇校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Rfc2217</name>
    <message>
        <source>远端串口无法设置 %1 流控，沿用服务器的设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器拒绝了 RFC 2217 串口控制：波特率、数据位、校验、停止位和 DTR/RTS 不会传到远端串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远端串口未接受 %1 波特（现为 %2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远端串口未接受 %1 数据位（现为 %2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远端串口未接受%1（现为%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远端串口未接受 %1 停止位（现为 %2）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RtfReader</name>
    <message>
        <source>文件不完整，只读出了前面的部分</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件的分组嵌套过深，过深的部分被略过</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件结尾之后还有内容，未被读出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件太大，内存不足，无法读出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是 RTF 格式的文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取文件失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source> 为无效端口！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 已被其他程序打开！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 没有访问权限！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 打开失败！未知错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 未指定设备：在“工具→端口映射”中为它选择设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>：没有权限。请加入 dialout 组：sudo usermod -aG dialout $USER，然后重新登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>：设备正被其他程序使用，请先关闭那个程序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>：设备不存在，请检查连接或在“工具→端口映射”中重新选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接已断开（%1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接已断开（%1：%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取失败：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）：远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置错误：
可能不支持所选波特率，或停止位，或数据位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）不接受 %3 波特或所选的数据位、校验位、停止位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1设置错误：
设备的驱动不支持 %2 流控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1设置错误：
Linux 不支持 %2 流控制（它所需的握手线组合无法设置），请选 RTS/CTS 或 XON/XOFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）不能使用 %3 流控制</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TcpTransport</name>
    <message>
        <source>无法连接 %1：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接被拒绝（服务器未运行或端口不对）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接 %1：找不到主机 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
