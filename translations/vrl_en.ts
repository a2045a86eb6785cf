<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AtomicFileWriter</name>
    <message>
        <source>磁盘空间不足</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>超出磁盘配额</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>the file system is read-only</translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>路径中有一部分不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>磁盘读写出错</source>
        <translation>disk input/output error</translation>
    </message>
    <message>
        <source>符号链接太多或成环</source>
        <translation>too many symbolic links, or a loop of them</translation>
    </message>
    <message>
        <source>错误 %1（%2）</source>
        <translation>error %1 (%2)</translation>
    </message>
    <message>
        <source>无法保存文件“%1”：%2。</source>
        <translation>Cannot save the file &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>生成文件内容时出错</source>
        <translation>the file contents could not be produced</translation>
    </message>
    <message>
        <source>这不是普通文件</source>
        <translation>this is not a regular file</translation>
    </message>
    <message>
        <source>%1。文件夹中不能新建文件，文件是直接改写的，可能已不完整</source>
        <translation>%1. No new file can be made in the folder, so the file was written over in place and may be incomplete</translation>
    </message>
    <message>
        <source>无法读取符号链接（%1）</source>
        <translation>cannot read the symbolic link (%1)</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>this is a folder</translation>
    </message>
    <message>
        <source>这不是普通文件（设备、管道或套接字），不能用来保存</source>
        <translation>this is not a regular file (a device, pipe or socket) and cannot be saved to</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于 VRL</source>
        <translation>About VRL</translation>
    </message>
    <message>
        <source>串口监视工具：同时监视多个串口的通讯，也可向指定串口发送命令</source>
        <translation>Serial port monitor: watches the traffic of several serial ports at once and sends commands to any of them</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>本程序是自由软件，按 GNU 通用公共许可证第 3 版或更新的版本（GPL-3.0-or-later）发布，不提供任何担保。</source>
        <translation>This program is free software under the GNU General Public License, version 3 or later (GPL-3.0-or-later), with no warranty.</translation>
    </message>
</context>
<context>
    <name>CAutoSend</name>
    <message>
        <source>报文格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation>This line is not valid hexadecimal. Press Ctrl+Alt+P in the send window to see where; to send it as text, switch on ASC send.</translation>
    </message>
    <message>
        <source>循环发送: %1 ms</source>
        <translation>Cyclic send: %1 ms</translation>
    </message>
    <message numerus="yes">
        <source>触发发送: %n 行</source>
        <translation>
            <numerusform>Triggered send: %n row</numerusform>
            <numerusform>Triggered send: %n rows</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CAutoSendDialog</name>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation>Enter a whole number from %1 to %2.</translation>
    </message>
    <message>
        <source>单行循环发送</source>
        <translation>Cyclic send</translation>
    </message>
    <message>
        <source>指定行：</source>
        <translation>Line:</translation>
    </message>
    <message>
        <source>当前行</source>
        <translation>Caret</translation>
    </message>
    <message>
        <source>固定行</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>范  围：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>从</source>
        <translation> </translation>
    </message>
    <message>
        <source>行到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>行</source>
        <translation> </translation>
    </message>
    <message>
        <source>单行发送周期：</source>
        <translation>Send period:</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>触发模式发送</source>
        <translation>Triggered send</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>收到行</source>
        <translation>Rx line</translation>
    </message>
    <message>
        <source>触发行</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>触发延时：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>请输入一个整数。</source>
        <translation>Enter a whole number.</translation>
    </message>
</context>
<context>
    <name>CDirectoryDialog</name>
    <message>
        <source>选择保存监视报文的目录:</source>
        <translation>Choose the folder to save captures in:</translation>
    </message>
    <message>
        <source>请为%1选择合适的目录:</source>
        <translation>Choose a folder for %1:</translation>
    </message>
</context>
<context>
    <name>CDlgAutoSave</name>
    <message>
        <source>定时保存</source>
        <translation>Save periodically</translation>
    </message>
    <message>
        <source>定时清除</source>
        <translation>Clear periodically</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>定时保存清除设置</source>
        <translation>Timed Save and Clear</translation>
    </message>
    <message>
        <source>周期：</source>
        <translation>Period:</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>将监视报文定时保存在下面目录：</source>
        <translation>Save the monitor text periodically in this folder:</translation>
    </message>
    <message>
        <source>使用保存时本机时间作为文件名</source>
        <translation>Each file is named after the local time it is saved</translation>
    </message>
    <message>
        <source>周期请输入 %1 到 %2 之间的整数（分钟）。</source>
        <translation>Enter a period from %1 to %2 (whole minutes).</translation>
    </message>
    <message>
        <source>请指定定时保存监视报文的目录。</source>
        <translation>Choose the folder for the timed save.</translation>
    </message>
</context>
<context>
    <name>CDlgFilter</name>
    <message>
        <source>报文过滤设置</source>
        <translation>Message Filter</translation>
    </message>
    <message>
        <source>串口数据显示</source>
        <translation>Ports shown</translation>
    </message>
    <message>
        <source>只显示给定序号字节的值为给定字节值的报文</source>
        <translation>Show only messages whose byte at the given position has the given value</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>字节序号</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>字节值(HEX)</source>
        <translation>Value (hex)</translation>
    </message>
    <message>
        <source>所有串口</source>
        <translation>All</translation>
    </message>
    <message>
        <source>当前串口</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>启用过滤设置</source>
        <translation>Enable filter</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>过滤设置未应用。</source>
        <translation>The filter was not applied.</translation>
    </message>
    <message>
        <source>第%1行：有字节值“%2”，但没有字节序号。</source>
        <translation>Row %1: the value &quot;%2&quot; has no position.</translation>
    </message>
    <message>
        <source>第%1行：有字节序号“%2”，但没有字节值。</source>
        <translation>Row %1: the position &quot;%2&quot; has no value.</translation>
    </message>
    <message>
        <source>第%1行：字节序号“%2”无效，应为从1起的十进制数（如 5）。</source>
        <translation>Row %1: the position &quot;%2&quot; is not valid; it must be a decimal number from 1 (such as 5).</translation>
    </message>
    <message>
        <source>第%1行：字节值“%2”无效，应为一到两位十六进制数（00～FF）。</source>
        <translation>Row %1: the value &quot;%2&quot; is not valid; it must be one or two hexadecimal digits (00 to FF).</translation>
    </message>
    <message>
        <source>只显示当前串口</source>
        <translation>Current port only</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>过滤: 开（%n行）</source>
        <translation>
            <numerusform>Filter: on (%n row)</numerusform>
            <numerusform>Filter: on (%n rows)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CFileNameDialog</name>
    <message>
        <source>Tarnwick Frame Files(*.tnf)</source>
        <translation>VRL monitor files (*.tnf)</translation>
    </message>
</context>
<context>
    <name>CFindReplaceDialog</name>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找内容(&amp;N):</source>
        <translation>Fi&amp;nd what:</translation>
    </message>
    <message>
        <source>替换为(&amp;P):</source>
        <translation>Re&amp;place with:</translation>
    </message>
    <message>
        <source>全字匹配(&amp;W)</source>
        <translation>Match &amp;whole word only</translation>
    </message>
    <message>
        <source>区分大小写(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>向上(&amp;U)</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>向下(&amp;D)</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <source>查找下一个(&amp;F)</source>
        <translation>&amp;Find Next</translation>
    </message>
    <message>
        <source>替换(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>全部替换(&amp;A)</source>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CForwardDialog</name>
    <message>
        <source>在串口</source>
        <translation>Forward between port</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>透明转发设置</source>
        <translation>Forwarding</translation>
    </message>
    <message>
        <source>与串口</source>
        <translation>and port</translation>
    </message>
    <message>
        <source>间进行透明转发</source>
        <translation>transparently</translation>
    </message>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation>Enter a whole number from %1 to %2.</translation>
    </message>
    <message>
        <source>需输入不同的串口号！</source>
        <translation>Enter two different ports!</translation>
    </message>
    <message>
        <source>控制线也转发（CTS→RTS，DSR→DTR，BREAK）</source>
        <translation>Forward the control lines too (CTS→RTS, DSR→DTR, BREAK)</translation>
    </message>
    <message>
        <source>一方的 CTS、DSR 驱动另一方的 RTS、DTR，收到的 BREAK 在另一方发出</source>
        <translation>Each side&apos;s CTS and DSR drive the other side&apos;s RTS and DTR; a BREAK received on one side is sent on the other</translation>
    </message>
</context>
<context>
    <name>CForwarder</name>
    <message>
        <source>，%1 积压超过 %2，已丢弃 %3</source>
        <translation>, %1 backlog over %2, %3 dropped</translation>
    </message>
    <message>
        <source>，%1 未及时取走，待写 %2</source>
        <translation>, %1 not keeping up, %2 waiting</translation>
    </message>
    <message>
        <source>转发: %1 ⇄ %2</source>
        <translation>Forwarding: %1 ⇄ %2</translation>
    </message>
    <message numerus="yes">
        <source>%n 字节</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CFrameMonitorView</name>
    <message>
        <source>监视窗为空。开始：
1. 在上方串口设置栏选串口（粗体的有设备）、波特率等，按 F5 打开。
2. 在下方发报窗输入一行十六进制报文（如 01 03 00 00 00 02），按 F2 发送。
3. 收到的报文显示在这里（视图→显示发送报文：发出的也显示）；Ctrl+S 保存。
端口号后的 ↑ 表示收到的报文，↓ 表示发出的报文，如 COM1↑01 03。</source>
        <translation>The monitor is empty. To start:
1. Choose a port (bold ones have a device), its baud rate and so on in the port settings bar above, and press F5 to open it.
2. Type a line of hex bytes (such as 01 03 00 00 00 02) in the send window below and press F2 to send it.
3. Received messages show here (View → Show Sent Messages shows sent ones too); Ctrl+S saves them.
The arrow after the port gives the direction: ↑ received, ↓ sent, as in COM1↑01 03.</translation>
    </message>
</context>
<context>
    <name>CLanguageChoice</name>
    <message>
        <source>重新启动 VRL 后以中文显示。</source>
        <translation>VRL shows Chinese after a restart.</translation>
    </message>
    <message>
        <source>重新启动 VRL 后以英文显示。</source>
        <translation>VRL shows English after a restart.</translation>
    </message>
</context>
<context>
    <name>CLineControl</name>
    <message>
        <source>%1 没有调制解调器控制线</source>
        <translation>%1 has no modem control lines</translation>
    </message>
    <message>
        <source>%1（%2）：%3</source>
        <translation>%1 (%2): %3</translation>
    </message>
    <message>
        <source>%1 设备已断开</source>
        <translation>%1 device disconnected</translation>
    </message>
    <message>
        <source>%1 已重新打开</source>
        <translation>%1 reopened</translation>
    </message>
    <message>
        <source>%1 等待设备重新连接（%2）</source>
        <translation>%1 waiting for the device to come back (%2)</translation>
    </message>
</context>
<context>
    <name>CLockIndicators</name>
    <message>
        <source>大写</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <translation>SCRL</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>VRL－串口监视工具</source>
        <translation>VRL - Serial Port Monitor</translation>
    </message>
    <message>
        <source>未保存的监视报文已保存到 %1</source>
        <translation>the unsaved monitor text was kept in %1</translation>
    </message>
    <message>
        <source>继续报文监视</source>
        <translation>Resume Display</translation>
    </message>
    <message>
        <source>暂停报文监视</source>
        <translation>Pause Display</translation>
    </message>
    <message>
        <source>继续报文监视(&amp;P)</source>
        <translation>Resume Dis&amp;play</translation>
    </message>
    <message>
        <source>暂停报文监视(&amp;P)</source>
        <translation>&amp;Pause Display</translation>
    </message>
    <message>
        <source>暂停显示</source>
        <translation>Display paused</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message numerus="yes">
        <source>暂停显示期间有 %n 条报文未显示</source>
        <translation>
            <numerusform>%n message was not shown while the display was paused</numerusform>
            <numerusform>%n messages were not shown while the display was paused</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CModbusDecoding</name>
    <message>
        <source>MODBUS 解析: %1</source>
        <translation>MODBUS decoding: %1</translation>
    </message>
</context>
<context>
    <name>CModbusFrameTable</name>
    <message>
        <source>MODBUS 帧表</source>
        <translation>MODBUS Frames</translation>
    </message>
    <message>
        <source>导出 CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>%1 帧</source>
        <translation>%1 frames</translation>
    </message>
    <message>
        <source>导出 MODBUS 帧表</source>
        <translation>Export MODBUS Frames</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>已导出 %1 帧到 %2</source>
        <translation>Exported %1 frames to %2</translation>
    </message>
</context>
<context>
    <name>CMonitorFile</name>
    <message>
        <source>无法保存文件“%1”！</source>
        <translation>Cannot save the file &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>文件“%1”太大（%2 MB），监视窗口只能打开 %3 MB 以内的文件！</source>
        <translation>The file &quot;%1&quot; is too large (%2 MB): the monitor opens files up to %3 MB only!</translation>
    </message>
    <message>
        <source>文件“%1”不是监视报文文件：%2！</source>
        <translation>The file &quot;%1&quot; is not a capture file: %2!</translation>
    </message>
    <message>
        <source>无法打开文件“%1”！</source>
        <translation>Cannot open the file &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>文件“%1”有 %2 个字符，超过监视窗口的容量（%3 个字符），无法打开！</source>
        <translation>The file &quot;%1&quot; holds %2 characters, more than the monitor can hold (%3 characters), and cannot be opened!</translation>
    </message>
    <message>
        <source>文件“%1”已损坏：%2。</source>
        <translation>The file &quot;%1&quot; is damaged: %2.</translation>
    </message>
</context>
<context>
    <name>CMonitorFiles</name>
    <message>
        <source>无法打开监视报文“%1”！</source>
        <translation>Cannot open the capture &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>上次程序被终止时，监视窗中未保存的报文已保存到：
%1

现在打开吗？（以后也可以从“文件”菜单的最近文件打开。）</source>
        <translation>When the program was ended last time, the unsaved monitor text was kept in:
%1

Open it now? (It is also among the recent files of the File menu.)</translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>不打开(&amp;N)</source>
        <translation>&amp;Not Now</translation>
    </message>
    <message>
        <source>打开串口监视报文</source>
        <translation>Open Capture</translation>
    </message>
    <message>
        <source>保存串口监视报文</source>
        <translation>Save Capture</translation>
    </message>
    <message>
        <source>无法保存文件“%1”！</source>
        <translation>Cannot save the file &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>最近文件</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>打开该文档</source>
        <translation>Open this file</translation>
    </message>
    <message>
        <source>监视报文已修改，尚未保存。是否保存？</source>
        <translation>The monitor text has changed and is not saved. Save it?</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>不保存(&amp;N)</source>
        <translation>Do&amp;n&apos;t Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>定时保存、清除: 每 %1 分钟</source>
        <translation>Timed save and clear: every %1 min</translation>
    </message>
    <message>
        <source>定时保存: 每 %1 分钟</source>
        <translation>Timed save: every %1 min</translation>
    </message>
    <message>
        <source>定时清除: 每 %1 分钟</source>
        <translation>Timed clear: every %1 min</translation>
    </message>
    <message>
        <source>监视报文已定时保存到 %1</source>
        <translation>Monitor text saved to %1</translation>
    </message>
    <message>
        <source>定时保存到“%1”失败：%2%3</source>
        <translation>Timed save to &quot;%1&quot; failed: %2%3</translation>
    </message>
    <message>
        <source>，监视报文未清除</source>
        <translation>, the monitor text was not cleared</translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>不是文件夹</source>
        <translation>not a folder</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>无法写入文件</source>
        <translation>the file cannot be written</translation>
    </message>
</context>
<context>
    <name>CMonitorFind</name>
    <message>
        <source>找不到“%1”。</source>
        <translation>Cannot find &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>CMonitorPrinter</name>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print Setup</translation>
    </message>
</context>
<context>
    <name>CPcapngCommands</name>
    <message>
        <source>pcapng 文件 (*.pcapng)</source>
        <translation>pcapng files (*.pcapng)</translation>
    </message>
    <message>
        <source>导出 pcapng</source>
        <translation>Export pcapng</translation>
    </message>
    <message>
        <source>已导出 pcapng（只有最近 64 MB 的报文）：%1</source>
        <translation>Exported pcapng (the newest 64 MB of messages only): %1</translation>
    </message>
    <message>
        <source>已导出 pcapng：%1</source>
        <translation>Exported pcapng: %1</translation>
    </message>
    <message>
        <source>录制 pcapng</source>
        <translation>Record pcapng</translation>
    </message>
    <message>
        <source>无法写入文件“%1”：%2</source>
        <translation>Cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>pcapng 录制结束：%1，%2 包</source>
        <translation>pcapng recording ended: %1, %2 packets</translation>
    </message>
    <message>
        <source>写入 pcapng 文件“%1”失败：%2</source>
        <translation>Writing the pcapng file &quot;%1&quot; failed: %2</translation>
    </message>
    <message>
        <source>录制 pcapng：%1（%2 包）</source>
        <translation>Recording pcapng: %1 (%2 packets)</translation>
    </message>
    <message>
        <source>正在导出 pcapng：%1%</source>
        <translation>Exporting pcapng: %1%</translation>
    </message>
</context>
<context>
    <name>CPcapngReplayer</name>
    <message>
        <source>请先打开要回放到的串口。</source>
        <translation>Open the port to replay into first.</translation>
    </message>
    <message>
        <source>回放 pcapng</source>
        <translation>Replay pcapng</translation>
    </message>
    <message>
        <source>pcapng 文件 (*.pcapng);;所有文件 (*)</source>
        <translation>pcapng files (*.pcapng);;All files (*)</translation>
    </message>
    <message>
        <source>无法回放“%1”：%2</source>
        <translation>Cannot replay &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>把 %1 收到的 %2 个包写入 %3，速度（倍）：</source>
        <translation>Write the %2 packets %1 received into %3, at a speed (times):</translation>
    </message>
    <message>
        <source>回放 pcapng：%1/%2 包（Esc 停止）</source>
        <translation>Replaying pcapng: %1/%2 packets (Esc stops)</translation>
    </message>
    <message>
        <source>回放中断：%1</source>
        <translation>Replay stopped: %1</translation>
    </message>
    <message>
        <source>回放 pcapng 完成</source>
        <translation>pcapng replay finished</translation>
    </message>
    <message>
        <source>回放 pcapng 已停止</source>
        <translation>pcapng replay stopped</translation>
    </message>
</context>
<context>
    <name>CPlotChannelDialog</name>
    <message>
        <source>输入寄存器</source>
        <translation>Input registers</translation>
    </message>
    <message>
        <source>线圈</source>
        <translation>Coils</translation>
    </message>
    <message>
        <source>离散输入</source>
        <translation>Discrete inputs</translation>
    </message>
    <message>
        <source>保持寄存器</source>
        <translation>Holding registers</translation>
    </message>
    <message>
        <source>曲线通道</source>
        <translation>Plot Channel</translation>
    </message>
    <message>
        <source>MODBUS 寄存器</source>
        <translation>MODBUS register</translation>
    </message>
    <message>
        <source>文本行中的数</source>
        <translation>Number in text lines</translation>
    </message>
    <message>
        <source>脚本的数值</source>
        <translation>Script value</translation>
    </message>
    <message>
        <source>（手动填写）</source>
        <translation>(type it in)</translation>
    </message>
    <message>
        <source>COM%1 从站 %2 %3 %4</source>
        <translation>COM%1 slave %2 %3 %4</translation>
    </message>
    <message>
        <source>高字在前</source>
        <translation>High word first</translation>
    </message>
    <message>
        <source>低字在前</source>
        <translation>Low word first</translation>
    </message>
    <message>
        <source>已见到的地址:</source>
        <translation>Seen addresses:</translation>
    </message>
    <message>
        <source>从站:</source>
        <translation>Slave:</translation>
    </message>
    <message>
        <source>数据表:</source>
        <translation>Table:</translation>
    </message>
    <message>
        <source>地址（从 0 起）:</source>
        <translation>Address (from 0):</translation>
    </message>
    <message>
        <source>类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>字序:</source>
        <translation>Word order:</translation>
    </message>
    <message>
        <source>位:</source>
        <translation>Bit:</translation>
    </message>
    <message>
        <source>名称:数值 中的名称</source>
        <translation>The name in name:value</translation>
    </message>
    <message>
        <source>行中第几个数</source>
        <translation>The n-th number of a line</translation>
    </message>
    <message>
        <source>取数:</source>
        <translation>Take:</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>第几个:</source>
        <translation>Number n:</translation>
    </message>
    <message>
        <source>vrl.plot 的名称:</source>
        <translation>Name in vrl.plot:</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>来源:</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>串口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>单位:</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>系数（数值 × 系数 + 偏移）:</source>
        <translation>Factor (value × factor + offset):</translation>
    </message>
    <message>
        <source>偏移:</source>
        <translation>Offset:</translation>
    </message>
    <message>
        <source>坐标轴:</source>
        <translation>Axis:</translation>
    </message>
    <message>
        <source>曲线颜色</source>
        <translation>Plot Colour</translation>
    </message>
</context>
<context>
    <name>CPlotDock</name>
    <message>
        <source>曲线</source>
        <translation>Plot</translation>
    </message>
    <message>
        <source>添加...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>修改...</source>
        <translation>Edit...</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>跟随最新</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存图片...</source>
        <translation>Save Picture...</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>新数值到来时画面随之移动（F 键）；拖动或缩放画面时停止跟随</source>
        <translation>The picture moves with new values (F key); dragging or zooming stops following</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>最新值</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>拖动: 平移  滚轮: 缩放时间  Ctrl+滚轮: 缩放数值  F: 跟随最新  A: 数值范围自动</source>
        <translation>Drag: pan  Wheel: zoom time  Ctrl+wheel: zoom values  F: follow  A: automatic value range</translation>
    </message>
</context>
<context>
    <name>CPlotting</name>
    <message>
        <source>可见范围...</source>
        <translation>Visible Range...</translation>
    </message>
    <message>
        <source>全部...</source>
        <translation>Everything...</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>port not open</translation>
    </message>
    <message>
        <source>MODBUS 解析未开</source>
        <translation>MODBUS decoding off</translation>
    </message>
    <message numerus="yes">
        <source>%n 个数值</source>
        <translation>
            <numerusform>%n value</numerusform>
            <numerusform>%n values</numerusform>
        </translation>
    </message>
    <message>
        <source>内存 %1 MB</source>
        <translation>Memory %1 MB</translation>
    </message>
    <message>
        <source>导出曲线数值</source>
        <translation>Export Plot Values</translation>
    </message>
    <message>
        <source>曲线 %1.csv</source>
        <translation>Plot %1.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>正在导出曲线数值...</source>
        <translation>Exporting plot values...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>曲线数值已导出到 %1</source>
        <translation>Plot values exported to %1</translation>
    </message>
    <message>
        <source>保存曲线图片</source>
        <translation>Save Plot Picture</translation>
    </message>
    <message>
        <source>曲线 %1.png</source>
        <translation>Plot %1.png</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>无法保存图片 %1</source>
        <translation>Cannot save the picture %1</translation>
    </message>
</context>
<context>
    <name>CPortControl</name>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>关闭%1</source>
        <translation>Close %1</translation>
    </message>
    <message>
        <source>打开%1</source>
        <translation>Open %1</translation>
    </message>
    <message>
        <source>关闭%1(&amp;O)</source>
        <translation>Cl&amp;ose %1</translation>
    </message>
    <message>
        <source>打开%1(&amp;O)</source>
        <translation>&amp;Open %1</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>发现新的串口设备：</source>
        <translation>New serial devices: </translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 已停止接收（%2），请关闭后重新打开</source>
        <translation>%1 stopped receiving (%2); close it and open it again</translation>
    </message>
    <message>
        <source>%1 已打开，%2</source>
        <translation>%1 opened, %2</translation>
    </message>
    <message>
        <source>%1 已关闭</source>
        <translation>%1 closed</translation>
    </message>
</context>
<context>
    <name>CPortMapDialog</name>
    <message>
        <source>序列号 %1</source>
        <translation>serial number %1</translation>
    </message>
    <message>
        <source>驱动 %1</source>
        <translation>driver %1</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>地址格式不对</source>
        <translation>the address is not valid</translation>
    </message>
    <message>
        <source>主机 %1，端口 %2，%3</source>
        <translation>host %1, port %2, %3</translation>
    </message>
    <message>
        <source>RFC 2217（含波特率等设置）</source>
        <translation>RFC 2217 (with rate and line settings)</translation>
    </message>
    <message>
        <source>原始 TCP</source>
        <translation>raw TCP</translation>
    </message>
    <message>
        <source>端口映射</source>
        <translation>Port Map</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设备路径</source>
        <translation>Device path</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>设备说明</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>设备路径，如 /dev/ttyUSB0 或 /dev/pts/3；其他机器上的串口（ser2net）：rfc2217://主机:端口 或 tcp://主机:端口</source>
        <translation>Device path, such as /dev/ttyUSB0 or /dev/pts/3; a serial port of another machine (ser2net): rfc2217://host:port or tcp://host:port</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Set</translation>
    </message>
    <message>
        <source>清除(&amp;C)</source>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>端口(&amp;P):</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>设备(&amp;D):</source>
        <translation>&amp;Device:</translation>
    </message>
    <message>
        <source>远程</source>
        <translation>remote</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>present</translation>
    </message>
    <message>
        <source>未找到</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口（端口 1 到 65535）。</source>
        <translation>A remote port&apos;s address is rfc2217://host:port or tcp://host:port (port 1 to 65535).</translation>
    </message>
    <message>
        <source>设备路径应为以 / 开头的完整路径，或 rfc2217://主机:端口、tcp://主机:端口。</source>
        <translation>A device path is a full path starting with /, or rfc2217://host:port, tcp://host:port.</translation>
    </message>
    <message>
        <source>%1 已不再指向任何设备。</source>
        <translation>%1 no longer names a device.</translation>
    </message>
    <message>
        <source>%1 现在指向 %2。</source>
        <translation>%1 now names %2.</translation>
    </message>
</context>
<context>
    <name>CPortTransfer</name>
    <message>
        <source>%1 没有打开。</source>
        <translation>%1 is not open.</translation>
    </message>
    <message>
        <source>文件夹“%1”不存在。</source>
        <translation>The folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>不能读文件“%1”：%2</source>
        <translation>cannot read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>%1 已关闭（已传送 %2 块）</source>
        <translation>%1 was closed (after %2 blocks)</translation>
    </message>
</context>
<context>
    <name>CScriptDock</name>
    <message>
        <source>脚本</source>
        <translation>Script</translation>
    </message>
    <message>
        <source>新脚本</source>
        <translation>New script</translation>
    </message>
    <message>
        <source>（没有最近的脚本）</source>
        <translation>(no recent scripts)</translation>
    </message>
    <message>
        <source>示例</source>
        <translation>Examples</translation>
    </message>
    <message>
        <source>脚本运行中：%1</source>
        <translation>Script running: %1</translation>
    </message>
</context>
<context>
    <name>CScriptPage</name>
    <message>
        <source>双击带行号的错误跳到脚本的该行</source>
        <translation>Double-click an error with a line number to go to that line of the script</translation>
    </message>
    <message>
        <source>打开...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>运行脚本 (F5)</source>
        <translation>Run the script (F5)</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>新脚本</source>
        <translation>New script</translation>
    </message>
    <message>
        <source>脚本“%1”已修改，是否保存？</source>
        <translation>The script &quot;%1&quot; has changed. Save it?</translation>
    </message>
    <message>
        <source>无法读取脚本“%1”：%2</source>
        <translation>Cannot read the script &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>打开脚本</source>
        <translation>Open Script</translation>
    </message>
    <message>
        <source>Lua 脚本 (*.lua);;所有文件 (*)</source>
        <translation>Lua scripts (*.lua);;All files (*)</translation>
    </message>
    <message>
        <source>保存脚本</source>
        <translation>Save Script</translation>
    </message>
    <message>
        <source>脚本.lua</source>
        <translation>script.lua</translation>
    </message>
    <message>
        <source>Lua 脚本 (*.lua)</source>
        <translation>Lua scripts (*.lua)</translation>
    </message>
    <message>
        <source>—— 运行 %1 ——</source>
        <translation>—— Running %1 ——</translation>
    </message>
    <message>
        <source>行 %1，列 %2</source>
        <translation>Line %1, column %2</translation>
    </message>
    <message>
        <source>—— 脚本已停止 ——</source>
        <translation>—— The script was stopped ——</translation>
    </message>
    <message>
        <source>—— 脚本因错误而结束 ——</source>
        <translation>—— The script ended with an error ——</translation>
    </message>
    <message numerus="yes">
        <source>—— 脚本已结束，%n 项检查失败，退出码 %1 ——</source>
        <translation>
            <numerusform>—— The script ended: %n check failed, exit status %1 ——</numerusform>
            <numerusform>—— The script ended: %n checks failed, exit status %1 ——</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CSendCommands</name>
    <message>
        <source>%1 未打开，F2 不发送：先在串口设置栏选好串口和参数，按 F5 打开。</source>
        <translation>%1 is not open, F2 sends nothing: choose the port and its settings in the port settings bar, then press F5 to open it.</translation>
    </message>
    <message>
        <source>报文格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation>This line is not valid hexadecimal. Press Ctrl+Alt+P in the send window to see where; to send it as text, switch on ASC send.</translation>
    </message>
    <message>
        <source>第 %1 行是正确的十六进制报文</source>
        <translation>Line %1 is valid hexadecimal</translation>
    </message>
</context>
<context>
    <name>CSendEditor</name>
    <message>
        <source>&lt;&lt;--设备：PLC；波特率：9600；校验：无；规约：MODUBUS--&gt;&gt;</source>
        <translation>&lt;&lt;--Device: PLC; baud rate: 9600; parity: none; protocol: MODBUS--&gt;&gt;</translation>
    </message>
</context>
<context>
    <name>CSendFiles</name>
    <message>
        <source>发报窗报文无法保存到：
%1
也无法保存到默认文件：
%2</source>
        <translation>The send window&apos;s lines cannot be saved to:
%1
nor to the default file:
%2</translation>
    </message>
    <message>
        <source>无法读取发报窗报文文件：
%1

只要不修改发报窗报文，退出时不会覆盖这个文件。</source>
        <translation>Cannot read the send file:
%1

As long as the send window is not changed, this file is not written over at exit.</translation>
    </message>
    <message>
        <source>打开发送窗报文</source>
        <translation>Open Send File</translation>
    </message>
    <message>
        <source>保存发送窗报文</source>
        <translation>Save Send File</translation>
    </message>
    <message>
        <source>

请另选一个文件保存发报窗报文。</source>
        <translation>

Choose another file for the send window&apos;s lines.</translation>
    </message>
    <message>
        <source>无法读取发报窗报文文件：
%1</source>
        <translation>Cannot read the send file:
%1</translation>
    </message>
</context>
<context>
    <name>CSendFrameWnd</name>
    <message>
        <source>发报窗</source>
        <translation>Send Window</translation>
    </message>
    <message>
        <source>发报窗    </source>
        <translation>Send Window    </translation>
    </message>
    <message>
        <source>[行 %1，字节 %2 (%3)]</source>
        <translation>[Line %1, byte %2 (%3)]</translation>
    </message>
</context>
<context>
    <name>CSettingsBar</name>
    <message>
        <source>设置当前串口</source>
        <translation>Choose the current port</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设置当前所选串口的波特率</source>
        <translation>Set the baud rate of the current port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>设置当前所选串口的校验位</source>
        <translation>Set the parity of the current port</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>设置当前所选串口的数据位</source>
        <translation>Set the data bits of the current port</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>设置当前所选串口的停止位</source>
        <translation>Set the stop bits of the current port</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>设置当前所选串口的打包间隔时间(单位：毫秒)</source>
        <translation>Set the packing interval of the current port (milliseconds)</translation>
    </message>
    <message>
        <source>打包时间(毫秒)</source>
        <translation>Packing interval (ms)</translation>
    </message>
    <message>
        <source>设置当前所选串口的流控制</source>
        <translation>Set the flow control of the current port</translation>
    </message>
    <message>
        <source>流控制</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>串口设置栏</source>
        <translation>Port Settings Bar</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>未指定设备（工具→端口映射）</source>
        <translation>no device (Tools → Port Map)</translation>
    </message>
    <message>
        <source>串口 %1：%2</source>
        <translation>Port %1: %2</translation>
    </message>
    <message>
        <source>设置当前串口（%1：%2）</source>
        <translation>Choose the current port (%1: %2)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>监视窗中端口号后的 ↑ 表示收到的报文，↓ 表示发出的报文</source>
        <translation>In the monitor, ↑ after the port marks a received message, ↓ a sent one</translation>
    </message>
</context>
<context>
    <name>CTransferCommands</name>
    <message>
        <source>请先打开串口，再传送文件。</source>
        <translation>Open the port first, then transfer the file.</translation>
    </message>
</context>
<context>
    <name>CTransferDialog</name>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>发送文件 (XMODEM/YMODEM)</source>
        <translation>Send file (XMODEM/YMODEM)</translation>
    </message>
    <message>
        <source>接收文件</source>
        <translation>Receive file</translation>
    </message>
    <message>
        <source>XMODEM（128 字节块）</source>
        <translation>XMODEM (128-byte blocks)</translation>
    </message>
    <message>
        <source>XMODEM-1K（1024 字节块）</source>
        <translation>XMODEM-1K (1024-byte blocks)</translation>
    </message>
    <message>
        <source>YMODEM（带文件名和大小）</source>
        <translation>YMODEM (with the file&apos;s name and size)</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>协议：</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>文件：</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>保存到文件夹：</source>
        <translation>Save into folder:</translation>
    </message>
    <message>
        <source>选择要发送的文件</source>
        <translation>Choose the file to send</translation>
    </message>
    <message>
        <source>选择保存收到文件的文件夹</source>
        <translation>Choose the folder for received files</translation>
    </message>
    <message>
        <source>请选择要发送的文件。</source>
        <translation>Choose the file to send.</translation>
    </message>
    <message>
        <source>请选择保存收到文件的文件夹。</source>
        <translation>Choose the folder for received files.</translation>
    </message>
    <message>
        <source>没有当前串口。</source>
        <translation>There is no current port.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CVRLApp</name>
    <message>
        <source>用 vrl --help 查看用法。</source>
        <translation>Try vrl --help for the usage.</translation>
    </message>
    <message>
        <source>vrl: 没有可用的显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。
在图形桌面中启动 VRL，或用 xvfb-run 在虚拟屏幕上运行。
</source>
        <translation>vrl: no display available (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start VRL on a graphical desktop, or on a virtual screen with xvfb-run.
</translation>
    </message>
</context>
<context>
    <name>CaptureFiles</name>
    <message>
        <source>无法写文件“%1”：%2</source>
        <translation>cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>文件夹“%1”中同名文件太多</source>
        <translation>too many files of the same name in the folder &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>CaptureOptions</name>
    <message>
        <source>端口参数格式不对：%1（应为 COMn 或 COMn=设备路径，n 为 1 到 256）</source>
        <translation>bad port: %1 (expected COMn or COMn=device-path, n from 1 to 256)</translation>
    </message>
    <message>
        <source>波特率不对：%1</source>
        <translation>bad baud rate: %1</translation>
    </message>
    <message>
        <source>数据位不对：%1（5 到 8）</source>
        <translation>bad data bits: %1 (5 to 8)</translation>
    </message>
    <message>
        <source>校验位不对：%1（none、odd、even、mark 或 space）</source>
        <translation>bad parity: %1 (none, odd, even, mark or space)</translation>
    </message>
    <message>
        <source>停止位不对：%1（1 或 2）</source>
        <translation>bad stop bits: %1 (1 or 2)</translation>
    </message>
    <message>
        <source>--dir 后缺少文件夹</source>
        <translation>--dir needs a folder</translation>
    </message>
    <message>
        <source>换文件的周期不对：%1（如 30s、15m、1h、1d）</source>
        <translation>bad rotation period: %1 (such as 30s, 15m, 1h, 1d)</translation>
    </message>
    <message>
        <source>换文件的大小不对：%1（如 500K、100M、2G）</source>
        <translation>bad rotation size: %1 (such as 500K, 100M, 2G)</translation>
    </message>
    <message>
        <source>没有给出要监视的串口（如 COM1 或 COM1=/dev/ttyUSB0）</source>
        <translation>no port to watch was given (such as COM1 or COM1=/dev/ttyUSB0)</translation>
    </message>
    <message>
        <source>--txt、--tnf 与换文件的选项需要 --dir 文件夹</source>
        <translation>--txt, --tnf and the rotation options need --dir FOLDER</translation>
    </message>
    <message>
        <source>%1 给出了两次</source>
        <translation>%1 is given twice</translation>
    </message>
    <message>
        <source>流控制不对：%1（none、rts 或 xon）</source>
        <translation>wrong flow control: %1 (none, rts or xon)</translation>
    </message>
    <message>
        <source>打包间隔不对：%1（0 到 60000 毫秒）</source>
        <translation>wrong packing interval: %1 (0 to 60000 ms)</translation>
    </message>
    <message>
        <source>文本编码不对：%1（utf-8、gbk 或 latin1）</source>
        <translation>wrong text encoding: %1 (utf-8, gbk or latin1)</translation>
    </message>
    <message>
        <source>用法: vrl-capture [选项] 串口...
VRL 无窗口记录：同时监视多个串口，每条报文按监视窗的样子写成一行（时间精确到毫秒）。

串口:
  COMn               端口映射中 COMn 的设备（与 vrl 相同的设置文件）
  COMn=路径          COMn 指向该设备（如 /dev/ttyUSB0），也可写成 --port COMn=路径

线路设置（不给出时用设置文件中各串口的设置）:
  -b, --baudrate N   波特率，如 115200
  -d, --databits N   数据位 5 到 8
  -p, --parity P     校验 none、odd、even、mark、space
  -s, --stopbits N   停止位 1 或 2
  -f, --flow F       流控制 none、rts（RTS/CTS）或 xon（XON/XOFF）
  -i, --interval MS  打包间隔（毫秒）：线路静止这么久报文结束
  -l, --lines        每个行尾（LF）结束一条报文；超过报文长度的行照常切开
  --hex, --asc       报文以十六进制或字符显示（不给出时用设置文件中的显示选项）
  -e, --encoding E   字符的编码 utf-8、gbk 或 latin1（不给出时用 vrl 的文本编码选择）
  --modbus           每个串口都解析 MODBUS RTU 帧（不给出时按 vrl 中各串口的 MODBUS 解析开关）

输出（不给出文件夹时写到标准输出）:
  -o, --dir 文件夹   文件写到该文件夹，以开始的本地时间命名，如 20240103 090412.txt
  --txt, --tnf       写纯文本 .txt（默认）和/或带颜色的 .tnf（vrl 与文字处理软件可打开）
  --stdout           给出文件夹时也写到标准输出
  --rotate 周期      按时钟每个周期换新文件，如 15m、1h、1d
  --rotate-size 大小 文件超过该大小时在下一条报文后换新文件，如 300K、100M
  -q, --quiet        终端上不显示每秒更新的状态行
  -h, --help         显示本帮助并退出
  -V, --version      显示版本并退出

SIGINT、SIGTERM 结束记录并写完文件；SIGHUP 重新打开文件（供 logrotate 使用）。
拔出的设备重新插入后自动重新打开。退出码: 0 正常，1 运行错误，2 参数错误。
</source>
        <translation>Usage: vrl-capture [options] PORT...
VRL capture without a window: watches several serial ports at once and writes every message as one line, as the monitor shows it (time to the millisecond).

Ports:
  COMn               the device of COMn in the port map (the same settings file as vrl)
  COMn=PATH          COMn names this device (such as /dev/ttyUSB0); also --port COMn=PATH

Line settings (without them, each port&apos;s stored settings):
  -b, --baudrate N   baud rate, such as 115200
  -d, --databits N   data bits, 5 to 8
  -p, --parity P     parity: none, odd, even, mark, space
  -s, --stopbits N   stop bits, 1 or 2
  -f, --flow F       flow control: none, rts (RTS/CTS) or xon (XON/XOFF)
  -i, --interval MS  packing interval (ms): a message ends when the line is quiet this long
  -l, --lines        a message ends at each line end (LF); a line longer than a message is cut as usual
  --hex, --asc       messages in hexadecimal or as characters (without them, the stored display choice)
  -e, --encoding E   characters in utf-8, gbk or latin1 (without it, vrl&apos;s Text Encoding choice)
  --modbus           decode MODBUS RTU frames on every port (without it, each port&apos;s MODBUS Decoding switch in vrl)

Output (standard output when no folder is given):
  -o, --dir FOLDER   write files into this folder, named after the local time they begin, such as 20240103 090412.txt
  --txt, --tnf       write plain text .txt (the default) and/or coloured .tnf (vrl and word processors open it)
  --stdout           write to standard output also when a folder is given
  --rotate PERIOD    begin a new file every period on the clock, such as 15m, 1h, 1d
  --rotate-size SIZE begin a new file after the message that takes a file past this size, such as 300K, 100M
  -q, --quiet        no status line updated every second on the terminal
  -h, --help         show this help and exit
  -V, --version      show the version and exit

SIGINT, SIGTERM end the capture with complete files; SIGHUP reopens the files (for logrotate).
A device pulled out is reopened when it is plugged back in. Exit status: 0 fine, 1 runtime error, 2 misuse.
</translation>
    </message>
    <message>
        <source>--pcapng 后缺少文件名</source>
        <translation>--pcapng needs a file name</translation>
    </message>
    <message>
        <source>--pcapng - 已占用标准输出，不能再用 --stdout</source>
        <translation>--pcapng - takes standard output: --stdout cannot be used with it</translation>
    </message>
    <message>
        <source>--replay 后缺少文件名</source>
        <translation>--replay needs a file name</translation>
    </message>
    <message>
        <source>回放速度不对：%1（0.1 到 10）</source>
        <translation>wrong replay speed: %1 (0.1 to 10)</translation>
    </message>
    <message>
        <source>--replay 需要且只需要一个串口（--port COMn=设备）</source>
        <translation>--replay needs exactly one port (--port COMn=DEVICE)</translation>
    </message>
    <message>
        <source>--replay 不能与 --dir、--pcapng 同时使用</source>
        <translation>--replay cannot be used with --dir or --pcapng</translation>
    </message>
    <message>
        <source>
Wireshark:
  --pcapng 文件      同时把每条报文连同时间写成 pcapng 文件（Wireshark 可打开），
                     随文本文件换新文件；- 写到标准输出（文本则不写到标准输出）
  --replay 文件 --port COMn=设备 [--speed 倍数]
                     把 pcapng 文件中 COMn 收到的数据按原来的间隔写入设备，
                     速度 0.1 到 10 倍（默认 1）；Ctrl+C 停止
</source>
        <translation>
Wireshark:
  --pcapng FILE      also write every message with its time to a pcapng file (Wireshark
                     opens it), rotated with the text files; - writes it to standard output
                     (the text then goes not to standard output)
  --replay FILE --port COMn=DEVICE [--speed FACTOR]
                     write what COMn received in the pcapng file into the device with its
                     original gaps, at 0.1 to 10 times the speed (default 1); Ctrl+C stops
</translation>
    </message>
    <message>
        <source>--values 后缺少文件名</source>
        <translation>--values needs a file name</translation>
    </message>
    <message>
        <source>数值通道不对：%1（%2）</source>
        <translation>bad value channel: %1 (%2)</translation>
    </message>
    <message>
        <source>--values 文件与 --value 通道需要一起给出</source>
        <translation>--values FILE and --value CHANNEL go together</translation>
    </message>
    <message>
        <source>数值通道 %1 的串口不在要监视的串口中</source>
        <translation>the port of value channel %1 is not among the ports captured</translation>
    </message>
    <message>
        <source>
数值（曲线）:
  --values 文件.csv  把 --value 通道的数值写成 CSV：每个时刻一行，每个通道一列
  --value 通道       [名称=]COMn:modbus:从站:地址:类型[:lh]（地址如 40001，类型 int16、
                     uint16、int32、uint32、float32、bit0 到 bit15），或 [名称=]COMn:text:名称
                     （行中的 名称:数值），或 [名称=]COMn:text:#n（行中第 n 个数）
</source>
        <translation>
Values (plot):
  --values FILE.csv  write the numbers of the --value channels as CSV: a row per moment, a column per channel
  --value CHANNEL    [NAME=]COMn:modbus:SLAVE:ADDRESS:TYPE[:lh] (address such as 40001, type int16,
                     uint16, int32, uint32, float32, bit0 to bit15), or [NAME=]COMn:text:NAME
                     (NAME:number in a line), or [NAME=]COMn:text:#n (the n-th number of a line)
</translation>
    </message>
    <message>
        <source>--script 后缺少脚本文件</source>
        <translation>--script needs a script file</translation>
    </message>
    <message>
        <source>
脚本:
  --script 文件.lua  在这些串口上运行 Lua 脚本（可给出多次）；脚本调用 vrl.exit、
                     或返回后不再有处理函数和定时器时结束。有检查失败或脚本出错
                     时退出码为 1，错误与行号写到标准错误。
</source>
        <translation>
Scripts:
  --script FILE.lua  runs a Lua script on these ports (may be given more than once);
                     the capture ends when the script calls vrl.exit, or returns with
                     no handler or timer left. The exit status is then 1 after a
                     failed check or a script error (the error and its line go to
                     standard error).
</translation>
    </message>
    <message>
        <source>--send-file 后缺少文件</source>
        <translation>--send-file needs a file</translation>
    </message>
    <message>
        <source>--receive-file 后缺少文件夹</source>
        <translation>--receive-file needs a folder</translation>
    </message>
    <message>
        <source>传送协议不对：%1（xmodem、xmodem1k 或 ymodem）</source>
        <translation>bad protocol: %1 (xmodem, xmodem1k or ymodem)</translation>
    </message>
    <message>
        <source>--send-file 与 --receive-file 只能给出一个</source>
        <translation>give either --send-file or --receive-file, not both</translation>
    </message>
    <message>
        <source>--protocol 需要 --send-file 或 --receive-file</source>
        <translation>--protocol needs --send-file or --receive-file</translation>
    </message>
    <message>
        <source>传送文件需要 --protocol（xmodem、xmodem1k 或 ymodem）</source>
        <translation>a file transfer needs --protocol (xmodem, xmodem1k or ymodem)</translation>
    </message>
    <message>
        <source>传送文件需要一个串口（如 --port COM1=/dev/ttyUSB0）</source>
        <translation>a file transfer needs one port (such as --port COM1=/dev/ttyUSB0)</translation>
    </message>
    <message>
        <source>传送文件时不能用 --dir</source>
        <translation>--dir cannot be used with a file transfer</translation>
    </message>
    <message>
        <source>
传送文件（代替记录，只用一个串口）:
  --send-file 文件     用 --protocol 的协议发送文件，如给单片机的引导程序
  --receive-file 文件夹 接收文件到该文件夹（XMODEM 不带文件名：以开始时间命名）
  --protocol P         xmodem（128 字节块）、xmodem1k（1024 字节块）或 ymodem
  退出码 0 表示传送完成；1 表示失败，原因（已传送多少块）写到标准错误。
  收到的文件先写在旁边再改名，已有的同名文件不会被覆盖；其路径写到标准输出。
</source>
        <translation>
File transfer (instead of a capture, over one port):
  --send-file FILE     send the file with the --protocol given, to a bootloader for example
  --receive-file DIR   receive files into the folder (XMODEM names none: named by the start time)
  --protocol P         xmodem (128-byte blocks), xmodem1k (1024-byte blocks) or ymodem
  Exit status 0 when the transfer is complete; 1 when it failed, with the reason (and the
  number of blocks transferred) on standard error. Received files are written beside their
  name and renamed, never over an existing file; their paths go to standard output.
</translation>
    </message>
</context>
<context>
    <name>CapturePcapng</name>
    <message>
        <source>无法写入文件“%1”：%2</source>
        <translation>Cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>写入 pcapng 文件失败：%1</source>
        <translation>Writing the pcapng file failed: %1</translation>
    </message>
</context>
<context>
    <name>CaptureReplay</name>
    <message>
        <source>无法回放“%1”：%2</source>
        <translation>Cannot replay &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>写入串口失败</source>
        <translation>writing to the port failed</translation>
    </message>
    <message>
        <source>串口 5 秒内没有接受数据</source>
        <translation>the port took no data for 5 seconds</translation>
    </message>
    <message>
        <source>回放中断：%1</source>
        <translation>Replay stopped: %1</translation>
    </message>
    <message>
        <source>已把 %1 收到的 %2 个包（%3 字节）写入 %4</source>
        <translation>Wrote the %2 packets (%3 bytes) %1 received into %4</translation>
    </message>
</context>
<context>
    <name>CaptureScript</name>
    <message>
        <source>无法读取脚本“%1”</source>
        <translation>Cannot read the script &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>CaptureSession</name>
    <message>
        <source>%1 在端口映射中没有设备；请用 %1=设备路径 指定</source>
        <translation>%1 has no device in the port map; give one with %1=device-path</translation>
    </message>
    <message>
        <source>%1 已重新打开</source>
        <translation>%1 reopened</translation>
    </message>
    <message>
        <source>%1 %2，等待重新连接</source>
        <translation>%1 %2, waiting to reconnect</translation>
    </message>
    <message>
        <source>%1 设备已断开（%2），等待重新连接</source>
        <translation>%1 device disconnected (%2), waiting to reconnect</translation>
    </message>
    <message>
        <source> (等待设备) </source>
        <translation> (waiting for device) </translation>
    </message>
    <message>
        <source>%1 %2 条</source>
        <translation>%1 %2 messages</translation>
    </message>
    <message>
        <source>  文件 %1</source>
        <translation>  file %1</translation>
    </message>
</context>
<context>
    <name>CaptureTransfer</name>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>no permission to read it</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>this is a folder</translation>
    </message>
    <message>
        <source>不能读文件“%1”：%2</source>
        <translation>cannot read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>串口断开：%1（已传送 %2 块）</source>
        <translation>the port was lost: %1 (after %2 blocks)</translation>
    </message>
</context>
<context>
    <name>CaptureValues</name>
    <message>
        <source>无法创建数值文件 %1：%2</source>
        <translation>cannot create the value file %1: %2</translation>
    </message>
    <message>
        <source>无法写入数值文件 %1：%2</source>
        <translation>cannot write the value file %1: %2</translation>
    </message>
</context>
<context>
    <name>CheckCode</name>
    <message>
        <source>格式不对！组合键Ctrl+Alt+P分析错误！</source>
        <translation>This line is not valid hexadecimal. Press Ctrl+Alt+P in the send window to see where.</translation>
    </message>
    <message>
        <source>MODBUS查询报文长度不能小于6个字节！</source>
        <translation>A MODBUS request must be at least 6 bytes long!</translation>
    </message>
    <message>
        <source>无效数组！</source>
        <translation>Invalid array!</translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <source>循环或触发发送设置(&amp;A)...</source>
        <translation>&amp;Automatic Send Settings...</translation>
    </message>
    <message>
        <source>显示或隐藏高级发送窗</source>
        <translation>Show or hide the cyclic and triggered send settings</translation>
    </message>
    <message>
        <source>循环或触发发送设置</source>
        <translation>Cyclic and Triggered Send Settings</translation>
    </message>
    <message>
        <source>循环发送(&amp;C)</source>
        <translation>&amp;Cyclic Send</translation>
    </message>
    <message>
        <source>按设定的周期，循环发送发报窗中的指定行或范围内的各行</source>
        <translation>Send a line, or the lines of a range in turn, every period</translation>
    </message>
    <message>
        <source>循环发送</source>
        <translation>Cyclic Send</translation>
    </message>
    <message>
        <source>触发模式发送(&amp;T)</source>
        <translation>&amp;Triggered Send</translation>
    </message>
    <message>
        <source>收到与触发表中收到行相同的报文时，自动回送对应的触发行</source>
        <translation>Answer a message equal to a received line of the trigger table with its answer line</translation>
    </message>
    <message>
        <source>触发模式发送</source>
        <translation>Triggered send</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ASC模式发送时</source>
        <translation>&amp;When Sending ASC</translation>
    </message>
    <message>
        <source>文本编码</source>
        <translation>Text &amp;Encoding</translation>
    </message>
    <message>
        <source>添加校验(&amp;P)</source>
        <translation>&amp;Checksum</translation>
    </message>
    <message>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>窗口位于屏幕</source>
        <translation>Screen &amp;Half</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出应用程序</source>
        <translation>Quit the application</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>暂停报文显示(&amp;P)</source>
        <translation>&amp;Pause Display</translation>
    </message>
    <message>
        <source>暂停报文监视</source>
        <translation>Pause Display</translation>
    </message>
    <message>
        <source>显示端口(&amp;P)</source>
        <translation>Show P&amp;ort</translation>
    </message>
    <message>
        <source>在报文前显示端口号及收发方向</source>
        <translation>Show the port and the direction before each message</translation>
    </message>
    <message>
        <source>显示端口</source>
        <translation>Show Port</translation>
    </message>
    <message>
        <source>显示发送报文(&amp;D)</source>
        <translation>Show &amp;Sent Messages</translation>
    </message>
    <message>
        <source>在监视窗中显示发送的报文</source>
        <translation>Show sent messages in the monitor</translation>
    </message>
    <message>
        <source>显示发送报文</source>
        <translation>Show Sent Messages</translation>
    </message>
    <message>
        <source>显示时间(&amp;T)</source>
        <translation>Show &amp;Time</translation>
    </message>
    <message>
        <source>在报文前显示接收或发送的时间</source>
        <translation>Show the time of receiving or sending before each message</translation>
    </message>
    <message>
        <source>显示时间</source>
        <translation>Show Time</translation>
    </message>
    <message>
        <source>打开串口(&amp;O)</source>
        <translation>&amp;Open Port</translation>
    </message>
    <message>
        <source>打开COM1</source>
        <translation>Open COM1</translation>
    </message>
    <message>
        <source>默认参数(&amp;D)</source>
        <translation>&amp;Default Settings</translation>
    </message>
    <message>
        <source>当前串口恢复默认参数</source>
        <translation>Reset the current port to the default settings</translation>
    </message>
    <message>
        <source>默认参数</source>
        <translation>Default Settings</translation>
    </message>
    <message>
        <source>端口映射(&amp;M)...</source>
        <translation>Port &amp;Map...</translation>
    </message>
    <message>
        <source>设置各COM编号对应的串口设备</source>
        <translation>Choose the serial device of each COM number</translation>
    </message>
    <message>
        <source>端口映射</source>
        <translation>Port Map</translation>
    </message>
    <message>
        <source>ASC模式接收(&amp;R)</source>
        <translation>ASC &amp;Receive</translation>
    </message>
    <message>
        <source>把接收的报文作为字符显示</source>
        <translation>Show received messages as characters</translation>
    </message>
    <message>
        <source>ASC模式接收</source>
        <translation>ASC Receive</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏</source>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message>
        <source>显隐工具栏</source>
        <translation>Toggle Toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>显示或隐藏状态栏</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>显隐状态栏</source>
        <translation>Toggle Status Bar</translation>
    </message>
    <message>
        <source>串口设置栏(&amp;C)</source>
        <translation>&amp;Port Settings Bar</translation>
    </message>
    <message>
        <source>显示或隐藏串口设置栏</source>
        <translation>Show or hide the port settings bar</translation>
    </message>
    <message>
        <source>串口设置栏</source>
        <translation>Port Settings Bar</translation>
    </message>
    <message>
        <source>总在最上面(&amp;A)</source>
        <translation>&amp;Always on Top</translation>
    </message>
    <message>
        <source>使窗口总在其他窗口的上面</source>
        <translation>Keep the window above all other windows</translation>
    </message>
    <message>
        <source>总在最上面</source>
        <translation>Always on Top</translation>
    </message>
    <message>
        <source>居中(&amp;G)</source>
        <translation>Cent&amp;er</translation>
    </message>
    <message>
        <source>窗口位于屏幕中央</source>
        <translation>Place the window in the middle of the screen</translation>
    </message>
    <message>
        <source>居中</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>上半部(&amp;H)</source>
        <translation>&amp;Top Half</translation>
    </message>
    <message>
        <source>窗口位于屏幕上半部</source>
        <translation>Place the window on the top half of the screen</translation>
    </message>
    <message>
        <source>上半部</source>
        <translation>Top Half</translation>
    </message>
    <message>
        <source>下半部(&amp;B)</source>
        <translation>&amp;Bottom Half</translation>
    </message>
    <message>
        <source>窗口位于屏幕下半部</source>
        <translation>Place the window on the bottom half of the screen</translation>
    </message>
    <message>
        <source>下半部</source>
        <translation>Bottom Half</translation>
    </message>
    <message>
        <source>左半部(&amp;L)</source>
        <translation>&amp;Left Half</translation>
    </message>
    <message>
        <source>窗口位于屏幕左半部</source>
        <translation>Place the window on the left half of the screen</translation>
    </message>
    <message>
        <source>左半部</source>
        <translation>Left Half</translation>
    </message>
    <message>
        <source>右半部(&amp;R)</source>
        <translation>&amp;Right Half</translation>
    </message>
    <message>
        <source>窗口位于屏幕右半部</source>
        <translation>Place the window on the right half of the screen</translation>
    </message>
    <message>
        <source>右半部</source>
        <translation>Right Half</translation>
    </message>
    <message>
        <source>关于 VRL(&amp;A)...</source>
        <translation>&amp;About VRL...</translation>
    </message>
    <message>
        <source>显示程序信息、版本号和版权</source>
        <translation>Show the program&apos;s information, version and copyright</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>报文过滤设置(&amp;F)...</source>
        <translation>Message &amp;Filter...</translation>
    </message>
    <message>
        <source>只显示给定字节为给定值的报文，或只显示当前串口的报文</source>
        <translation>Show only messages with given byte values, or only the current port&apos;s messages</translation>
    </message>
    <message>
        <source>报文过滤设置</source>
        <translation>Message Filter</translation>
    </message>
    <message>
        <source>转发设置(&amp;Z)...</source>
        <translation>&amp;Forwarding...</translation>
    </message>
    <message>
        <source>在两个串口之间透明转发收到的报文</source>
        <translation>Forward received messages between two ports transparently</translation>
    </message>
    <message>
        <source>转发设置</source>
        <translation>Forwarding</translation>
    </message>
    <message>
        <source>以中文显示（重新启动后生效）</source>
        <translation>Show the program in Chinese (after a restart)</translation>
    </message>
    <message>
        <source>以英文显示（重新启动后生效）</source>
        <translation>Show the program in English (after a restart)</translation>
    </message>
    <message>
        <source>重新启动后生效</source>
        <translation>Takes effect after a restart</translation>
    </message>
    <message>
        <source>置位或复位当前串口的DTR线（数据终端就绪）</source>
        <translation>Set or clear the DTR line (data terminal ready) of the current port</translation>
    </message>
    <message>
        <source>置位或复位当前串口的RTS线（请求发送）</source>
        <translation>Set or clear the RTS line (request to send) of the current port</translation>
    </message>
    <message>
        <source>断开后自动重新打开(&amp;U)</source>
        <translation>Reopen After &amp;Unplug</translation>
    </message>
    <message>
        <source>串口设备拔出后再插入时自动重新打开串口</source>
        <translation>Reopen a port by itself when its device is plugged in again</translation>
    </message>
    <message>
        <source>自动重新打开</source>
        <translation>Reopen Automatically</translation>
    </message>
    <message>
        <source>ASC模式收发的文本按GBK编码</source>
        <translation>ASC text sent and received is GBK</translation>
    </message>
    <message>
        <source>ASC模式收发的文本按UTF-8编码</source>
        <translation>ASC text sent and received is UTF-8</translation>
    </message>
    <message>
        <source>打开监视报文(&amp;O)...	Ctrl+O</source>
        <translation>&amp;Open Capture...	Ctrl+O</translation>
    </message>
    <message>
        <source>打开一个现有监视报文</source>
        <translation>Open a saved capture</translation>
    </message>
    <message>
        <source>打开监视报文</source>
        <translation>Open Capture</translation>
    </message>
    <message>
        <source>保存监视报文(&amp;S)...	Ctrl+S</source>
        <translation>&amp;Save Capture...	Ctrl+S</translation>
    </message>
    <message>
        <source>保存监视报文</source>
        <translation>Save Capture</translation>
    </message>
    <message>
        <source>定时保存、清除(&amp;T)...</source>
        <translation>&amp;Timed Save and Clear...</translation>
    </message>
    <message>
        <source>定时保存清除监视报文</source>
        <translation>Save and clear the monitor text periodically</translation>
    </message>
    <message>
        <source>启动时打开上次的串口(&amp;L)</source>
        <translation>Reo&amp;pen Last Ports at Start</translation>
    </message>
    <message>
        <source>启动时重新打开上次退出时打开着的串口</source>
        <translation>At start, open the ports that were open at the last exit</translation>
    </message>
    <message>
        <source>启动时打开上次的串口</source>
        <translation>Reopen Last Ports at Start</translation>
    </message>
    <message>
        <source>手动单行发报(&amp;W)</source>
        <translation>Send &amp;Line</translation>
    </message>
    <message>
        <source>发送发报窗中光标所在行的报文</source>
        <translation>Send the line at the caret of the send window</translation>
    </message>
    <message>
        <source>手动单行发报</source>
        <translation>Send Line</translation>
    </message>
    <message>
        <source>发报窗(&amp;W)</source>
        <translation>Send &amp;Window</translation>
    </message>
    <message>
        <source>显示或隐藏发报窗</source>
        <translation>Show or hide the send window</translation>
    </message>
    <message>
        <source>发报窗</source>
        <translation>Send Window</translation>
    </message>
    <message>
        <source>累加和(&amp;C)</source>
        <translation>Byte &amp;Sum</translation>
    </message>
    <message>
        <source>只保留低字节的求和校验</source>
        <translation>Sum of the bytes, low byte only</translation>
    </message>
    <message>
        <source>单字节求和校验</source>
        <translation>One-byte sum</translation>
    </message>
    <message>
        <source>保留高位的累加和(&amp;H)</source>
        <translation>Sum With &amp;High Byte</translation>
    </message>
    <message>
        <source>保留高位的求和校验</source>
        <translation>Sum of the bytes, high byte kept</translation>
    </message>
    <message>
        <source>双字节求和校验</source>
        <translation>Two-byte sum</translation>
    </message>
    <message>
        <source>MODBUS规约CRC(&amp;M)</source>
        <translation>&amp;MODBUS CRC</translation>
    </message>
    <message>
        <source>MODBUS规约查询报文CRC校验，同ANSI标准16位CRC，只校验前6个字节</source>
        <translation>CRC of a MODBUS request: the ANSI 16-bit CRC over the first 6 bytes only</translation>
    </message>
    <message>
        <source>MODBUS规约查询报文CRC校验</source>
        <translation>MODBUS request CRC</translation>
    </message>
    <message>
        <source>CCITT标准16位CRC(&amp;O)</source>
        <translation>CCITT &amp;16-bit CRC</translation>
    </message>
    <message>
        <source>CCITT V.41，16位CRC校验，x16+x12+x5+1，即0x11021</source>
        <translation>CCITT V.41 16-bit CRC, x16+x12+x5+1 (0x11021)</translation>
    </message>
    <message>
        <source>CCITT 16位CRC校验</source>
        <translation>CCITT 16-bit CRC</translation>
    </message>
    <message>
        <source>CCITT标准  8位CRC(&amp;D)</source>
        <translation>CCITT &amp;8-bit CRC</translation>
    </message>
    <message>
        <source>CCITT V.41，8位CRC校验，x8+x2+x+1，即0x107</source>
        <translation>CCITT V.41 8-bit CRC, x8+x2+x+1 (0x107)</translation>
    </message>
    <message>
        <source>CCITT 8位CRC校验</source>
        <translation>CCITT 8-bit CRC</translation>
    </message>
    <message>
        <source>ANSI标准16位CRC(&amp;A)</source>
        <translation>&amp;ANSI 16-bit CRC</translation>
    </message>
    <message>
        <source>ANSI，16位CRC校验，x16+x15+x2+1，即0x18005</source>
        <translation>ANSI 16-bit CRC, x16+x15+x2+1 (0x18005)</translation>
    </message>
    <message>
        <source>ANSI 16位CRC校验</source>
        <translation>ANSI 16-bit CRC</translation>
    </message>
    <message>
        <source>CDT规约CRC(&amp;T)</source>
        <translation>C&amp;DT CRC</translation>
    </message>
    <message>
        <source>CDT规约CRC校验，同CCITT标准8位CRC</source>
        <translation>CRC of the CDT protocol, the same as the CCITT 8-bit CRC</translation>
    </message>
    <message>
        <source>CDT规约CRC校验</source>
        <translation>CDT CRC</translation>
    </message>
    <message>
        <source>打开发送报文(&amp;F)</source>
        <translation>Open Send &amp;File...</translation>
    </message>
    <message>
        <source>打开发报窗报文文件</source>
        <translation>Open a file into the send window</translation>
    </message>
    <message>
        <source>打开发送报文</source>
        <translation>Open Send File</translation>
    </message>
    <message>
        <source>保存发送报文(&amp;A)</source>
        <translation>S&amp;ave Send File...</translation>
    </message>
    <message>
        <source>把发报窗的报文保存到文件</source>
        <translation>Save the send window&apos;s lines to a file</translation>
    </message>
    <message>
        <source>保存发送报文</source>
        <translation>Save Send File</translation>
    </message>
    <message>
        <source>发送后跳到下行(&amp;N)</source>
        <translation>Go to &amp;Next Line After Send</translation>
    </message>
    <message>
        <source>手动发送一行后，光标跳到发报窗的下一行</source>
        <translation>After a line is sent by hand, the caret goes to the next line of the send window</translation>
    </message>
    <message>
        <source>发送后跳到下行</source>
        <translation>Go to Next Line After Send</translation>
    </message>
    <message>
        <source>ASC模式发送(&amp;S)</source>
        <translation>ASC &amp;Send</translation>
    </message>
    <message>
        <source>把发报窗的报文作为字符发送</source>
        <translation>Send the send window&apos;s lines as characters</translation>
    </message>
    <message>
        <source>ASC模式发送</source>
        <translation>ASC Send</translation>
    </message>
    <message>
        <source>添加文始符STX(&amp;V)</source>
        <translation>Add &amp;STX</translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文前添加文始符STX(02H)</source>
        <translation>In ASC send, put STX (02H) before the message</translation>
    </message>
    <message>
        <source>添加文始符STX</source>
        <translation>Add STX</translation>
    </message>
    <message>
        <source>添加文终符ETX(&amp;E)</source>
        <translation>Add &amp;ETX</translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加文终符ETX(03H)</source>
        <translation>In ASC send, put ETX (03H) after the message</translation>
    </message>
    <message>
        <source>添加文终符ETX</source>
        <translation>Add ETX</translation>
    </message>
    <message>
        <source>添加回车符(&amp;D)</source>
        <translation>Add &amp;CR</translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加回车符CR(0DH)</source>
        <translation>In ASC send, put a carriage return CR (0DH) after the message</translation>
    </message>
    <message>
        <source>添加回车符</source>
        <translation>Add CR</translation>
    </message>
    <message>
        <source>添加换行符(&amp;H)</source>
        <translation>Add &amp;LF</translation>
    </message>
    <message>
        <source>ASC模式发送时，在报文后添加换行符LF(0AH)</source>
        <translation>In ASC send, put a line feed LF (0AH) after the message</translation>
    </message>
    <message>
        <source>添加换行符</source>
        <translation>Add LF</translation>
    </message>
    <message>
        <source>时间显示时钟毫秒(&amp;M)</source>
        <translation>Clock &amp;Milliseconds</translation>
    </message>
    <message>
        <source>时间戳显示时钟的毫秒（HH:MM:SS.mmm）；不选时显示距上一时间戳的毫秒数</source>
        <translation>Time stamps show the clock&apos;s milliseconds (HH:MM:SS.mmm); unchecked, the milliseconds since the previous stamp</translation>
    </message>
    <message>
        <source>时间显示时钟毫秒</source>
        <translation>Clock Milliseconds</translation>
    </message>
    <message>
        <source>ASC接收显示全部字节(&amp;B)</source>
        <translation>ASC Receive Shows Every &amp;Byte</translation>
    </message>
    <message>
        <source>ASC模式接收时显示报文的每个字节：控制字节显示为\r、\n、\0、\x1B等，零字节不截断报文</source>
        <translation>In ASC receive, show every byte of a message: control bytes as \r, \n, \0, \x1B and so on; a zero byte does not end the message</translation>
    </message>
    <message>
        <source>ASC接收显示全部字节</source>
        <translation>ASC Receive Shows Every Byte</translation>
    </message>
    <message>
        <source>打印(&amp;P)...	Ctrl+P</source>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>打印监视窗报文</source>
        <translation>Print the monitor text</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印预览(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>显示整页</source>
        <translation>Show whole pages</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>改变打印机及打印选项</source>
        <translation>Change the printer and the printing options</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print Setup</translation>
    </message>
    <message>
        <source>撤消(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>撤消最后一步操作</source>
        <translation>Undo the last action</translation>
    </message>
    <message>
        <source>撤消</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>剪切(&amp;T)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>剪切所选内容并将其放到剪贴板上</source>
        <translation>Cut the selection and put it on the clipboard</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>复制(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>复制所选内容并将其放到剪贴板上</source>
        <translation>Copy the selection and put it on the clipboard</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>插入剪贴板内容</source>
        <translation>Insert the clipboard contents</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>全选(&amp;L)	Ctrl+A</source>
        <translation>Select A&amp;ll	Ctrl+A</translation>
    </message>
    <message>
        <source>选择全部报文</source>
        <translation>Select all the text</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>查找(&amp;F)...	Ctrl+F</source>
        <translation>&amp;Find...	Ctrl+F</translation>
    </message>
    <message>
        <source>查找指定的文字</source>
        <translation>Find the given text</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找下一个(&amp;I)	F3</source>
        <translation>Find Ne&amp;xt	F3</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>替换(&amp;E)	Ctrl+H</source>
        <translation>R&amp;eplace...	Ctrl+H</translation>
    </message>
    <message>
        <source>用其他文字替换指定的文字</source>
        <translation>Replace the given text with other text</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>清除监视窗报文(&amp;C)</source>
        <translation>&amp;Clear Monitor</translation>
    </message>
    <message>
        <source>清除监视窗报文</source>
        <translation>Clear the monitor text</translation>
    </message>
    <message>
        <source>清除监视报文</source>
        <translation>Clear Monitor</translation>
    </message>
    <message>
        <source>只读(&amp;Y)</source>
        <translation>Read-Onl&amp;y</translation>
    </message>
    <message>
        <source>设置监视窗为只读模式</source>
        <translation>Make the monitor read-only</translation>
    </message>
    <message>
        <source>切换只读模式</source>
        <translation>Toggle Read-Only</translation>
    </message>
    <message>
        <source>自动换行(&amp;W)</source>
        <translation>&amp;Word Wrap</translation>
    </message>
    <message>
        <source>设置文字自动换行模式</source>
        <translation>Wrap long lines</translation>
    </message>
    <message>
        <source>切换自动换行</source>
        <translation>Toggle Word Wrap</translation>
    </message>
    <message>
        <source>GBK(&amp;G)</source>
        <translation>&amp;GBK</translation>
    </message>
    <message>
        <source>UTF-8(&amp;U)</source>
        <translation>&amp;UTF-8</translation>
    </message>
    <message>
        <source>MODBUS 解析(&amp;B)</source>
        <translation>MOD&amp;BUS Decoding</translation>
    </message>
    <message>
        <source>把当前串口收发的报文按 MODBUS RTU 解析，在报文下方显示其含义</source>
        <translation>Decode the current port&apos;s messages as MODBUS RTU and show what they mean below them</translation>
    </message>
    <message>
        <source>MODBUS 解析</source>
        <translation>MODBUS Decoding</translation>
    </message>
    <message>
        <source>MODBUS 帧表(&amp;M)</source>
        <translation>&amp;MODBUS Frame Table</translation>
    </message>
    <message>
        <source>显示或隐藏 MODBUS 帧表（可导出为 CSV）</source>
        <translation>Show or hide the MODBUS frame table (it exports to CSV)</translation>
    </message>
    <message>
        <source>MODBUS 帧表</source>
        <translation>MODBUS Frame Table</translation>
    </message>
    <message>
        <source>文本终端</source>
        <translation>Text terminal</translation>
    </message>
    <message>
        <source>像终端程序一样收发文本：ASC模式发送并在行尾添加回车符，ASC接收显示全部字节，UTF-8编码；取消时恢复原来的设置</source>
        <translation>Work with text as a terminal does: ASC send with CR after each line, ASC receive showing every byte, UTF-8; switched off, the settings before come back</translation>
    </message>
    <message>
        <source>分析当前行</source>
        <translation>Check line</translation>
    </message>
    <message>
        <source>检查发报窗光标所在行是否为正确的十六进制报文，并指出出错的位置</source>
        <translation>Check that the send window&apos;s caret line is valid hexadecimal, and show where it is not</translation>
    </message>
    <message>
        <source>导出 pcapng...</source>
        <translation>Export pcapng...</translation>
    </message>
    <message>
        <source>把打开串口以来（清除监视窗以后）的报文存为 Wireshark 可打开的 pcapng 文件</source>
        <translation>Saves the messages since the ports opened (since the monitor was last cleared) as a pcapng file that Wireshark opens</translation>
    </message>
    <message>
        <source>导出 pcapng</source>
        <translation>Export pcapng</translation>
    </message>
    <message>
        <source>录制 pcapng...</source>
        <translation>Record pcapng...</translation>
    </message>
    <message>
        <source>把打开的串口的每条报文写入 pcapng 文件，直到再次选择本项</source>
        <translation>Writes every message of the open ports into a pcapng file until this item is chosen again</translation>
    </message>
    <message>
        <source>录制 pcapng</source>
        <translation>Record pcapng</translation>
    </message>
    <message>
        <source>回放 pcapng...</source>
        <translation>Replay pcapng...</translation>
    </message>
    <message>
        <source>把 pcapng 文件中一个串口收到的数据按原来的间隔发送到当前串口（Esc 停止）</source>
        <translation>Sends what one port of a pcapng file received into the current port with its original gaps (Esc stops)</translation>
    </message>
    <message>
        <source>回放 pcapng</source>
        <translation>Replay pcapng</translation>
    </message>
    <message>
        <source>曲线(&amp;L)</source>
        <translation>P&amp;lot</translation>
    </message>
    <message>
        <source>显示或隐藏曲线：MODBUS 寄存器、文本行中的数或脚本的数值随时间的变化</source>
        <translation>Show or hide the plot: MODBUS registers, numbers in text lines or script values over time</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Plot</translation>
    </message>
    <message>
        <source>脚本...</source>
        <translation>Script...</translation>
    </message>
    <message>
        <source>打开脚本窗：编写、打开并运行驱动和应答设备的 Lua 脚本</source>
        <translation>Open the script dock: write, open and run Lua scripts that drive and answer devices</translation>
    </message>
    <message>
        <source>脚本</source>
        <translation>Script</translation>
    </message>
    <message>
        <source>发送文件 (XMODEM/YMODEM)...</source>
        <translation>Send file (XMODEM/YMODEM)...</translation>
    </message>
    <message>
        <source>用 XMODEM、XMODEM-1K 或 YMODEM 向当前串口发送文件，如给引导程序的固件</source>
        <translation>Send a file to the current port with XMODEM, XMODEM-1K or YMODEM, such as firmware to a bootloader</translation>
    </message>
    <message>
        <source>发送文件</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>接收文件...</source>
        <translation>Receive file...</translation>
    </message>
    <message>
        <source>用 XMODEM、XMODEM-1K 或 YMODEM 从当前串口接收文件</source>
        <translation>Receive files from the current port with XMODEM, XMODEM-1K or YMODEM</translation>
    </message>
    <message>
        <source>接收文件</source>
        <translation>Receive file</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--port 后缺少 COMn=设备路径</source>
        <translation>--port needs COMn=device-path after it</translation>
    </message>
    <message>
        <source>远程端口的地址格式不对：%1（应为 rfc2217://主机:端口 或 tcp://主机:端口）</source>
        <translation>bad remote port address: %1 (expected rfc2217://host:port or tcp://host:port)</translation>
    </message>
    <message>
        <source>--open 后缺少串口（如 COM3）</source>
        <translation>--open needs a port after it (such as COM3)</translation>
    </message>
    <message>
        <source>串口参数格式不对：%1（应为 COMn，n 为 1 到 256）</source>
        <translation>bad port: %1 (expected COMn, n from 1 to 256)</translation>
    </message>
    <message>
        <source>只能指定一个监视报文文件：</source>
        <translation>only one capture file may be given: </translation>
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
        <translation>Usage: vrl [options] [capture.tnf]
VRL - serial port monitor: watches the traffic of several serial ports at once and sends commands to any of them.

Options:
  --port COMn=PATH   let COMn name this device (such as /dev/ttyUSB0, /dev/pts/3); repeatable; stored
                     a serial port of another machine (ser2net): rfc2217://host:port or tcp://host:port
  --open COMn        open this port at start (with its stored settings); repeatable
  --help             show this help and exit
  --version          show the version and exit

A capture file given is loaded into the monitor at start.
</translation>
    </message>
    <message>
        <source>许可证 GPL-3.0-or-later：GNU 通用公共许可证第 3 版或更新的版本 &lt;https://gnu.org/licenses/gpl.html&gt;。
本程序是自由软件：你可以自由地修改和重新发布它。
在法律允许的范围内，不提供任何担保。
</source>
        <translation>License GPL-3.0-or-later: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
</translation>
    </message>
    <message>
        <source>--script 后缺少脚本文件</source>
        <translation>--script needs a script file</translation>
    </message>
    <message>
        <source>  --script 文件.lua  打开脚本窗并运行该 Lua 脚本（在 --open 的串口打开之后），可重复
</source>
        <translation>  --script FILE.lua  opens the script dock and runs the Lua script (once the ports of
                     --open are open); may be repeated
</translation>
    </message>
</context>
<context>
    <name>ExpectMatcher</name>
    <message>
        <source>十六进制模式“%1”在第 %2 个字符处有误</source>
        <translation>The hex pattern &quot;%1&quot; is wrong at character %2</translation>
    </message>
    <message>
        <source>十六进制模式为空</source>
        <translation>The hex pattern is empty</translation>
    </message>
</context>
<context>
    <name>ExtcapCapture</name>
    <message>
        <source>无法打开 %1：%2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>Cannot open %1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>写入 %1 失败：%2</source>
        <translation>Writing %1 failed: %2</translation>
    </message>
    <message>
        <source>%1 已断开：%2</source>
        <translation>%1 is gone: %2</translation>
    </message>
</context>
<context>
    <name>ExtcapOptions</name>
    <message>
        <source>%1不对：%2</source>
        <translation>Wrong %1: %2</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>打包间隔</source>
        <translation>packing interval</translation>
    </message>
    <message>
        <source>没有给出要做的事（--extcap-interfaces 等）</source>
        <translation>Nothing to do given (--extcap-interfaces and the like)</translation>
    </message>
    <message>
        <source>没有给出接口（--extcap-interface vrl-设备名）</source>
        <translation>No interface given (--extcap-interface vrl-DEVICE)</translation>
    </message>
    <message>
        <source>没有给出 --fifo</source>
        <translation>No --fifo given</translation>
    </message>
</context>
<context>
    <name>ExtcapQueries</name>
    <message>
        <source>VRL 串口</source>
        <translation>VRL serial</translation>
    </message>
    <message>
        <source>VRL 串口：%1</source>
        <translation>VRL serial: %1</translation>
    </message>
    <message>
        <source>串口报文（RTAC 串行头）</source>
        <translation>serial messages (RTAC serial header)</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设备路径，如 /dev/ttyUSB0</source>
        <translation>the device path, such as /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>奇</source>
        <translation>odd</translation>
    </message>
    <message>
        <source>偶</source>
        <translation>even</translation>
    </message>
    <message>
        <source>标志</source>
        <translation>mark</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>space</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>打包间隔（毫秒）</source>
        <translation>Packing interval (ms)</translation>
    </message>
    <message>
        <source>线路静止这么久，一个报文（一个包）结束</source>
        <translation>a message (a packet) ends after this much silence on the line</translation>
    </message>
</context>
<context>
    <name>FileTransfer</name>
    <message>
        <source>传输已取消（已传送 %1 块）</source>
        <translation>the transfer was cancelled (after %1 blocks)</translation>
    </message>
</context>
<context>
    <name>HexText</name>
    <message>
        <source>长度不能小于 1 个字节！</source>
        <translation>The message must be at least 1 byte long!</translation>
    </message>
    <message>
        <source>最后不能为半个字节！</source>
        <translation>The message cannot end with half a byte!</translation>
    </message>
    <message>
        <source>最后多出一个非ASCII字符，其16进制为：  %02X H</source>
        <translation>One non-ASCII character too many at the end, hex:  %02X H</translation>
    </message>
    <message>
        <source>最后多出一个字符：  &apos; %c &apos;</source>
        <translation>One character too many at the end:  &apos; %c &apos;</translation>
    </message>
    <message>
        <source>第 %d 个字节后为非ASCII字符，其16进制为：  %02X H。必须改为  空格</source>
        <translation>After byte %d comes a non-ASCII character, hex:  %02X H. It must be a  space</translation>
    </message>
    <message>
        <source>第 %d 个字节后的字符  &apos; %c &apos;  必须改为  空格</source>
        <translation>After byte %d the character  &apos; %c &apos;  must be a  space</translation>
    </message>
    <message>
        <source>第 %d 个字节的高位不能为  空格，必须是16进制数</source>
        <translation>The high digit of byte %d cannot be a  space: it must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 个字节的低位不能为  空格，必须是16进制数</source>
        <translation>The low digit of byte %d cannot be a  space: it must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 个字节的高位为非ASCII字符，其16进制为：  %02X H。必须是16进制数</source>
        <translation>The high digit of byte %d is a non-ASCII character, hex:  %02X H. It must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 个字节的低位为非ASCII字符，其16进制为：  %2X H。必须是16进制数</source>
        <translation>The low digit of byte %d is a non-ASCII character, hex:  %2X H. It must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 个字节的高位不能为  &apos; %c &apos;，必须是16进制数</source>
        <translation>The high digit of byte %d cannot be  &apos; %c &apos;: it must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 个字节的低位不能为  &apos; %c &apos;，必须是16进制数</source>
        <translation>The low digit of byte %d cannot be  &apos; %c &apos;: it must be a hex digit</translation>
    </message>
    <message>
        <source>第 %d 行    报文格式出错：

</source>
        <translation>Line %d    the message format is wrong:

</translation>
    </message>
    <message>
        <source>

报文格式：
1、每 2 个字节间有一个空格；
2、每个字节必须为16进制数：0~9，a~f，A~F；
3、最后一个字节后不能有任何字符。

示例报文(共5个字节)：EB  90  02  34  0D</source>
        <translation>

Message format:
1. one space between every 2 bytes;
2. every byte is a hex number: 0~9, a~f, A~F;
3. nothing after the last byte.

Example (5 bytes): EB  90  02  34  0D</translation>
    </message>
</context>
<context>
    <name>IniSettingsStore</name>
    <message>
        <source>没有读取权限</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>无法打开：</source>
        <translation>cannot open: </translation>
    </message>
    <message>
        <source>文件大于 16 MB，不是设置文件</source>
        <translation>the file is larger than 16 MB and no settings file</translation>
    </message>
    <message>
        <source>读取出错：</source>
        <translation>read error: </translation>
    </message>
    <message>
        <source>内容不是文本，文件可能已损坏</source>
        <translation>the contents are not text; the file may be damaged</translation>
    </message>
    <message>
        <source>无法保存设置文件“%1”：无法创建它所在的文件夹。</source>
        <translation>Cannot save the settings file &quot;%1&quot;: its folder cannot be made.</translation>
    </message>
    <message>
        <source>设置文件“%1”无法读取（%2），也无法改名保留（%3）。程序使用默认设置，且不会覆盖这个文件，本次的设置不会保存。</source>
        <translation>The settings file &quot;%1&quot; cannot be read (%2), nor renamed to keep it (%3). The program uses the default settings and does not write over this file: settings changed now are not saved.</translation>
    </message>
    <message>
        <source>设置文件“%1”无法读取（%2），已改名保留为“%3”。程序使用默认设置。</source>
        <translation>The settings file &quot;%1&quot; cannot be read (%2); it was kept as &quot;%3&quot;. The program uses the default settings.</translation>
    </message>
</context>
<context>
    <name>LuaSandbox</name>
    <message>
        <source>脚本运行了 %1 毫秒而没有等待，已停止</source>
        <translation>The script ran for %1 ms without waiting and was stopped</translation>
    </message>
    <message>
        <source>脚本使用的内存超过了 %1 MB，已停止</source>
        <translation>The script used more than %1 MB of memory and was stopped</translation>
    </message>
    <message>
        <source>脚本已被停止</source>
        <translation>The script was stopped</translation>
    </message>
</context>
<context>
    <name>ModbusDecoder</name>
    <message>
        <source>  应答 %1 ms</source>
        <translation>  answer %1 ms</translation>
    </message>
    <message>
        <source>未应答即有新请求</source>
        <translation>a new request came before the answer</translation>
    </message>
    <message>
        <source>%1 ms 内未应答</source>
        <translation>none within %1 ms</translation>
    </message>
    <message>
        <source>  无应答（%1）</source>
        <translation>  no answer (%1)</translation>
    </message>
</context>
<context>
    <name>ModbusDescriber</name>
    <message>
        <source>读线圈</source>
        <translation>Read Coils</translation>
    </message>
    <message>
        <source>读离散输入</source>
        <translation>Read Discrete Inputs</translation>
    </message>
    <message>
        <source>读保持寄存器</source>
        <translation>Read Holding Registers</translation>
    </message>
    <message>
        <source>读输入寄存器</source>
        <translation>Read Input Registers</translation>
    </message>
    <message>
        <source>写单个线圈</source>
        <translation>Write Single Coil</translation>
    </message>
    <message>
        <source>写单个寄存器</source>
        <translation>Write Single Register</translation>
    </message>
    <message>
        <source>写多个线圈</source>
        <translation>Write Multiple Coils</translation>
    </message>
    <message>
        <source>写多个寄存器</source>
        <translation>Write Multiple Registers</translation>
    </message>
    <message>
        <source>屏蔽写寄存器</source>
        <translation>Mask Write Register</translation>
    </message>
    <message>
        <source>读写多个寄存器</source>
        <translation>Read/Write Multiple Registers</translation>
    </message>
    <message>
        <source>功能 %1</source>
        <translation>function %1</translation>
    </message>
    <message>
        <source>非法功能</source>
        <translation>Illegal Function</translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation>Illegal Data Address</translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation>Illegal Data Value</translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation>Slave Device Failure</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation>Slave Device Busy</translation>
    </message>
    <message>
        <source>存储奇偶性差错</source>
        <translation>Memory Parity Error</translation>
    </message>
    <message>
        <source>网关路径不可用</source>
        <translation>Gateway Path Unavailable</translation>
    </message>
    <message>
        <source>网关目标设备无响应</source>
        <translation>Gateway Target Failed to Respond</translation>
    </message>
    <message>
        <source>异常码 %1</source>
        <translation>exception code %1</translation>
    </message>
    <message>
        <source>无效数据 %1 字节（不成帧）</source>
        <translation>invalid data, %1 bytes (no frame)</translation>
    </message>
    <message>
        <source>无效数据</source>
        <translation>invalid data</translation>
    </message>
    <message>
        <source>起始 %1 数量 %2</source>
        <translation>start %1 quantity %2</translation>
    </message>
    <message>
        <source>%1 异常</source>
        <translation>%1 exception</translation>
    </message>
    <message>
        <source>异常 %1</source>
        <translation>exception %1</translation>
    </message>
    <message>
        <source>无数据</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>数据: %1</source>
        <translation>data: %1</translation>
    </message>
    <message>
        <source>%1 个: %2</source>
        <translation>%1 values: %2</translation>
    </message>
    <message>
        <source>字节数 %1: %2</source>
        <translation>%1 bytes: %2</translation>
    </message>
    <message>
        <source>读 起始 %1 数量 %2 写 起始 %3 数量 %4: %5</source>
        <translation>read start %1 quantity %2 write start %3 quantity %4: %5</translation>
    </message>
    <message>
        <source>%1（无效值）</source>
        <translation>%1 (invalid value)</translation>
    </message>
    <message>
        <source>地址 %1 值 %2</source>
        <translation>address %1 value %2</translation>
    </message>
    <message>
        <source>与 %1 或 %2</source>
        <translation>AND %1 OR %2</translation>
    </message>
    <message>
        <source>地址 %1 %2</source>
        <translation>address %1 %2</translation>
    </message>
    <message>
        <source>广播</source>
        <translation>broadcast</translation>
    </message>
    <message>
        <source>从站 %1</source>
        <translation>slave %1</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>错误，收到 %1，应为 %2</source>
        <translation>bad (expected %2)</translation>
    </message>
</context>
<context>
    <name>ModbusFrameLog</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>配对</source>
        <translation>Pair</translation>
    </message>
    <message>
        <source>从站</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>功能</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>起始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>应答延时(ms)</source>
        <translation>Answer delay (ms)</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>收</source>
        <translation>Rx</translation>
    </message>
    <message>
        <source>发</source>
        <translation>Tx</translation>
    </message>
</context>
<context>
    <name>ModemLines</name>
    <message>
        <source>CTS/DSR/DCD/RI 不可用</source>
        <translation>CTS/DSR/DCD/RI not available</translation>
    </message>
</context>
<context>
    <name>OptionReader</name>
    <message>
        <source>端口参数格式不对：%1（应为 COMn=设备路径，n 为 1 到 256）</source>
        <translation>bad port option: %1 (expected COMn=device-path, n from 1 to 256)</translation>
    </message>
    <message>
        <source>%1 后缺少值</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>unknown option: %1</translation>
    </message>
</context>
<context>
    <name>PacketNotes</name>
    <message>
        <source>应答第 %1 包，%2 ms</source>
        <translation>answer to packet %1, %2 ms</translation>
    </message>
    <message>
        <source>CRC 错误（应为 %1）</source>
        <translation>wrong CRC (should be %1)</translation>
    </message>
</context>
<context>
    <name>PcapngExport</name>
    <message>
        <source>导出已取消</source>
        <translation>The export was cancelled</translation>
    </message>
</context>
<context>
    <name>PcapngReader</name>
    <message>
        <source>第 %1 块（偏移 %2）：%3</source>
        <translation>block %1 (offset %2): %3</translation>
    </message>
    <message>
        <source>无法读取文件“%1”：%2</source>
        <translation>Cannot read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>不是 pcapng 文件（没有节头块）</source>
        <translation>not a pcapng file (no section header block)</translation>
    </message>
    <message>
        <source>文件在块的中间截断</source>
        <translation>the file ends inside the block</translation>
    </message>
    <message>
        <source>节头块的字节序标志不对</source>
        <translation>the section header&apos;s byte-order magic is wrong</translation>
    </message>
    <message>
        <source>块的长度不对</source>
        <translation>the block&apos;s length is wrong</translation>
    </message>
    <message>
        <source>块尾的长度与块头不符</source>
        <translation>the length at the block&apos;s end differs from the one at its start</translation>
    </message>
    <message>
        <source>接口 %1 的链路类型是 %2，不是串口的 250</source>
        <translation>interface %1 has link type %2, not the serial line&apos;s 250</translation>
    </message>
    <message>
        <source>数据包属于不存在的接口</source>
        <translation>the packet belongs to an interface that does not exist</translation>
    </message>
    <message>
        <source>数据包长于其块</source>
        <translation>the packet is longer than its block</translation>
    </message>
    <message>
        <source>数据包短于串口头（12 字节）</source>
        <translation>the packet is shorter than the serial header (12 bytes)</translation>
    </message>
    <message>
        <source>数据包没有时间（简单包块），无法回放</source>
        <translation>the packet has no time (a simple packet block): it cannot be replayed</translation>
    </message>
    <message>
        <source>文件中没有接口</source>
        <translation>the file has no interface</translation>
    </message>
</context>
<context>
    <name>PcapngReplay</name>
    <message>
        <source>文件中没有收到的数据可回放</source>
        <translation>the file holds no received data to replay</translation>
    </message>
    <message>
        <source>文件中有多个串口收到了数据（%1），%2 不在其中</source>
        <translation>several ports of the file received data (%1), and %2 is not one of them</translation>
    </message>
</context>
<context>
    <name>PlotSource</name>
    <message>
        <source>曲线通道应以端口（如 COM1:）或 script:名称 开头</source>
        <translation>a channel begins with a port (COM1:) or script:NAME</translation>
    </message>
    <message>
        <source># 后的序号从 1 开始</source>
        <translation>the number after # counts from 1</translation>
    </message>
    <message>
        <source>从站地址应为 1 到 247</source>
        <translation>the slave address is 1 to 247</translation>
    </message>
    <message>
        <source>地址应写成 40001、30001、00001、10001 或 hr0、ir0、co0、di0</source>
        <translation>write the address as 40001, 30001, 00001, 10001 or hr0, ir0, co0, di0</translation>
    </message>
    <message>
        <source>类型应为 int16、uint16、int32、uint32、float32 或 bit0 到 bit15</source>
        <translation>the type is int16, uint16, int32, uint32, float32 or bit0 to bit15</translation>
    </message>
    <message>
        <source>字序应为 hl（高字在前）或 lh</source>
        <translation>the word order is hl (high word first) or lh</translation>
    </message>
    <message>
        <source>端口后应为 modbus:从站:地址:类型、text:名称 或 text:#序号</source>
        <translation>after the port comes modbus:SLAVE:ADDRESS:TYPE, text:NAME or text:#N</translation>
    </message>
</context>
<context>
    <name>PortSettings</name>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>标志</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>空</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>ReceivedFiles</name>
    <message>
        <source>发送方给的文件名不能用：%1</source>
        <translation>the sender&apos;s file name cannot be used: %1</translation>
    </message>
    <message>
        <source>文件“%1”太大（%2 字节）</source>
        <translation>the file &quot;%1&quot; is too large (%2 bytes)</translation>
    </message>
</context>
<context>
    <name>Rfc2217</name>
    <message>
        <source>远端串口无法设置 %1 流控，沿用服务器的设置</source>
        <translation>the remote port cannot be set to %1 flow control; the server&apos;s setting stays</translation>
    </message>
    <message>
        <source>服务器拒绝了 RFC 2217 串口控制：波特率、数据位、校验、停止位和 DTR/RTS 不会传到远端串口</source>
        <translation>the server refused RFC 2217 port control: baud rate, data bits, parity, stop bits and DTR/RTS do not reach the remote port</translation>
    </message>
    <message>
        <source>远端串口未接受 %1 波特（现为 %2）</source>
        <translation>the remote port did not take %1 baud (it is at %2)</translation>
    </message>
    <message>
        <source>远端串口未接受 %1 数据位（现为 %2）</source>
        <translation>the remote port did not take %1 data bits (it has %2)</translation>
    </message>
    <message>
        <source>远端串口未接受%1（现为%2）</source>
        <translation>the remote port did not take parity %1 (it has %2)</translation>
    </message>
    <message>
        <source>远端串口未接受 %1 停止位（现为 %2）</source>
        <translation>the remote port did not take %1 stop bits (it has %2)</translation>
    </message>
</context>
<context>
    <name>RtfReader</name>
    <message>
        <source>文件不完整，只读出了前面的部分</source>
        <translation>the file is incomplete; only its first part was read</translation>
    </message>
    <message>
        <source>文件的分组嵌套过深，过深的部分被略过</source>
        <translation>the file&apos;s groups are nested too deeply; the deepest parts were skipped</translation>
    </message>
    <message>
        <source>文件结尾之后还有内容，未被读出</source>
        <translation>there is more after the end of the file; it was not read</translation>
    </message>
    <message>
        <source>文件太大，内存不足，无法读出</source>
        <translation>the file is too large to read into memory</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>不是 RTF 格式的文件</source>
        <translation>not an RTF file</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>读取文件失败</source>
        <translation>reading the file failed</translation>
    </message>
</context>
<context>
    <name>ScriptRunner</name>
    <message>
        <source>%1 只能在脚本主体或处理函数中等待，不能在自建的协程里</source>
        <translation>%1 waits only in the script&apos;s body or in a handler, not in a coroutine of the script&apos;s own</translation>
    </message>
    <message>
        <source>没有名为“%1”的端口</source>
        <translation>There is no port named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>未知的校验“%1”（可用 crc16_modbus、ccitt、sum）</source>
        <translation>Unknown check &quot;%1&quot; (crc16_modbus, ccitt or sum)</translation>
    </message>
    <message>
        <source>expect 需要 pattern 或 hex</source>
        <translation>expect needs pattern or hex</translation>
    </message>
    <message>
        <source>vrl.every 的间隔至少 1 毫秒</source>
        <translation>vrl.every needs an interval of at least 1 ms</translation>
    </message>
    <message>
        <source>十六进制文本“%1”在第 %2 个字符处有误</source>
        <translation>The hex text &quot;%1&quot; is wrong at character %2</translation>
    </message>
    <message>
        <source>检查失败：%1（%2）</source>
        <translation>Check failed: %1 (%2)</translation>
    </message>
    <message>
        <source>脚本处理不及，丢弃了 %1 字节</source>
        <translation>The script could not keep up: %1 bytes dropped</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source> 为无效端口！</source>
        <translation> is not a valid port!</translation>
    </message>
    <message>
        <source> 已被其他程序打开！</source>
        <translation> is already open in another program!</translation>
    </message>
    <message>
        <source> 没有访问权限！</source>
        <translation>: no permission to access it!</translation>
    </message>
    <message>
        <source> 打开失败！未知错误！</source>
        <translation> cannot be opened! Unknown error!</translation>
    </message>
    <message>
        <source>%1 未指定设备：在“工具→端口映射”中为它选择设备</source>
        <translation>%1 has no device: choose one for it in Tools → Port Map</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>：没有权限。请加入 dialout 组：sudo usermod -aG dialout $USER，然后重新登录</source>
        <translation>: no permission. Join the dialout group: sudo usermod -aG dialout $USER, then log in again</translation>
    </message>
    <message>
        <source>：设备正被其他程序使用，请先关闭那个程序</source>
        <translation>: the device is in use by another program; close that program first</translation>
    </message>
    <message>
        <source>：设备不存在，请检查连接或在“工具→端口映射”中重新选择</source>
        <translation>: the device is not there; check the connection or choose again in Tools → Port Map</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>连接已断开（%1）</source>
        <translation>connection lost (%1)</translation>
    </message>
    <message>
        <source>连接已断开（%1：%2）</source>
        <translation>connection lost (%1: %2)</translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation>device disconnected</translation>
    </message>
    <message>
        <source>读取失败：</source>
        <translation>read failed: </translation>
    </message>
    <message>
        <source>%1（%2）：远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口</source>
        <translation>%1 (%2): a remote port&apos;s address is rfc2217://host:port or tcp://host:port</translation>
    </message>
    <message>
        <source>设置错误：
可能不支持所选波特率，或停止位，或数据位</source>
        <translation> settings error:
the chosen baud rate, stop bits or data bits may not be supported</translation>
    </message>
    <message>
        <source>%1（%2）不接受 %3 波特或所选的数据位、校验位、停止位</source>
        <translation>%1 (%2) does not take %3 baud or the chosen data bits, parity or stop bits</translation>
    </message>
    <message>
        <source>%1设置错误：
设备的驱动不支持 %2 流控制</source>
        <translation>%1 settings error:
the device&apos;s driver does not support %2 flow control</translation>
    </message>
    <message>
        <source>%1设置错误：
Linux 不支持 %2 流控制（它所需的握手线组合无法设置），请选 RTS/CTS 或 XON/XOFF</source>
        <translation>%1 settings error:
Linux does not support %2 flow control (its pair of handshake lines cannot be set); choose RTS/CTS or XON/XOFF</translation>
    </message>
    <message>
        <source>%1（%2）不能使用 %3 流控制</source>
        <translation>%1 (%2) cannot use %3 flow control</translation>
    </message>
    <message>
        <source>%1设置错误：
%2</source>
        <translation>%1 settings error:
%2</translation>
    </message>
</context>
<context>
    <name>TcpTransport</name>
    <message>
        <source>无法连接 %1：</source>
        <translation>cannot connect to %1: </translation>
    </message>
    <message>
        <source>连接被拒绝（服务器未运行或端口不对）</source>
        <translation>connection refused (the server is not running or the port is wrong)</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>无法连接 %1：找不到主机 %2</source>
        <translation>cannot connect to %1: host %2 not found</translation>
    </message>
</context>
<context>
    <name>TransferText</name>
    <message>
        <source>开始用 %1 发送 %2（%3 字节）</source>
        <translation>Sending %2 (%3 bytes) with %1</translation>
    </message>
    <message>
        <source>开始用 %1 接收文件到 %2</source>
        <translation>Receiving files into %2 with %1</translation>
    </message>
    <message>
        <source>%1，%2 块，重试 %3 次，%4/s</source>
        <translation>%1, %2 blocks, %3 retries, %4/s</translation>
    </message>
    <message>
        <source>文件传送失败：%1（用时 %2 秒）</source>
        <translation>File transfer failed: %1 (after %2 s)</translation>
    </message>
    <message>
        <source>%1 发送完成：%2 字节，用时 %3 秒，重试 %4 次</source>
        <translation>%1 sent: %2 bytes in %3 s, %4 retries</translation>
    </message>
    <message>
        <source>%1 接收完成：%2 字节，用时 %3 秒，重试 %4 次</source>
        <translation>%1 received: %2 bytes in %3 s, %4 retries</translation>
    </message>
</context>
<context>
    <name>XmodemReceiver</name>
    <message>
        <source>发送方取消了传输（已接收 %1 块）</source>
        <translation>the sender cancelled the transfer (after %1 blocks received)</translation>
    </message>
    <message>
        <source>发送方没有开始发送（等了 %1 秒）</source>
        <translation>the sender never started (waited %1 s)</translation>
    </message>
    <message>
        <source>第 %1 块接收 %2 次都不完好（已接收 %3 块）</source>
        <translation>block %1 arrived damaged %2 times (after %3 blocks received)</translation>
    </message>
    <message>
        <source>发送方不再发送（已接收 %1 块）</source>
        <translation>the sender stopped sending (after %1 blocks received)</translation>
    </message>
    <message>
        <source>收到第 %1 块，应为第 %2 块（已接收 %3 块）</source>
        <translation>block %1 arrived where block %2 was due (after %3 blocks received)</translation>
    </message>
    <message>
        <source>写文件出错：%1（已接收 %2 块）</source>
        <translation>cannot write the file: %1 (after %2 blocks received)</translation>
    </message>
</context>
<context>
    <name>XmodemSender</name>
    <message>
        <source>接收方取消了传输（已发送 %1 块）</source>
        <translation>the receiver cancelled the transfer (after %1 blocks sent)</translation>
    </message>
    <message>
        <source>接收方没有开始接收（等了 %1 秒）</source>
        <translation>the receiver never started (waited %1 s)</translation>
    </message>
    <message>
        <source>接收方不再应答（已发送 %1 块）</source>
        <translation>the receiver stopped answering (after %1 blocks sent)</translation>
    </message>
    <message>
        <source>读文件出错：%1（已发送 %2 块）</source>
        <translation>cannot read the file: %1 (after %2 blocks sent)</translation>
    </message>
    <message>
        <source>第 %1 块发送 %2 次都没有得到确认（已发送 %3 块）</source>
        <translation>block %1 was sent %2 times without an acknowledgement (after %3 blocks sent)</translation>
    </message>
    <message>
        <source>文件结束标志发送 %1 次都没有得到确认（已发送 %2 块）</source>
        <translation>the end of the file (EOT) was sent %1 times without an acknowledgement (after %2 blocks sent)</translation>
    </message>
    <message>
        <source>文件名块发送 %1 次都没有得到确认（已发送 %2 块）</source>
        <translation>block 0 was sent %1 times without an acknowledgement (after %2 blocks sent)</translation>
    </message>
</context>
<context>
    <name>vrl-capture</name>
    <message>
        <source>用 vrl-capture --help 查看用法。</source>
        <translation>Try vrl-capture --help for the usage.</translation>
    </message>
    <message>
        <source>文件夹“%1”不存在</source>
        <translation>the folder &quot;%1&quot; does not exist</translation>
    </message>
</context>
<context>
    <name>vrl-extcap</name>
    <message>
        <source>用法: vrl-extcap --extcap-interfaces | --extcap-dlts | --extcap-config | --capture --fifo 文件 --extcap-interface vrl-设备名 [--port 设备]
由 Wireshark 调用，在其接口列表中提供串口实时抓包。
</source>
        <translation>usage: vrl-extcap --extcap-interfaces | --extcap-dlts | --extcap-config | --capture --fifo FILE --extcap-interface vrl-DEVICE [--port DEVICE]
Run by Wireshark: live capture of serial ports in its interface list.
</translation>
    </message>
</context>
</TS>
