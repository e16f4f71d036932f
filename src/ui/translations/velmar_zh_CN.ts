<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>velmar::CChannelPage</name>
    <message>
        <source>Channel gain</source>
        <translation>通道增益</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>Sound on: click to mute</source>
        <translation>声音开启：点击静音</translation>
    </message>
    <message>
        <source>Muted: click to sound</source>
        <translation>已静音：点击开启声音</translation>
    </message>
    <message>
        <source>Polarity normal: click to invert</source>
        <translation>极性正常：点击反相</translation>
    </message>
    <message>
        <source>Polarity inverted: click to make normal</source>
        <translation>极性反相：点击恢复正常</translation>
    </message>
    <message>
        <source>Data out of range</source>
        <translation>数据超出范围</translation>
    </message>
</context>
<context>
    <name>velmar::CConnectDlg</name>
    <message>
        <source>Can&apos;t open the wifi</source>
        <translation>不能打开网络</translation>
    </message>
    <message>
        <source>check, link again</source>
        <translation>检查连线,再次联接</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>COM CONNECT</source>
        <translation>COM CONNECT</translation>
    </message>
    <message>
        <source>USB CONNECT</source>
        <translation>USB CONNECT</translation>
    </message>
    <message>
        <source>TCP/IP CONNECT</source>
        <translation>TCP/IP CONNECT</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>RS485</source>
        <translation>RS485</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>WIFI</source>
        <translation>WIFI</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velmar::CDelayDlg</name>
    <message>
        <source>INPUTS</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>OUTPUTS</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>velmar::CGEQDlg</name>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>GEQ RESET</source>
        <translation>GEQ 重置</translation>
    </message>
    <message>
        <source>GEQ BYPASS</source>
        <translation>GEQ 旁路</translation>
    </message>
    <message>
        <source>All 31 bands flat and the input&apos;s ten bands to their start values</source>
        <translation>31 段归零，输入的十段均衡恢复初始值</translation>
    </message>
    <message>
        <source>Flattens the graphic EQ and the input&apos;s ten bands; press again to restore them</source>
        <translation>图示均衡和输入的十段均衡暂设为 0 dB；再按一次恢复</translation>
    </message>
</context>
<context>
    <name>velmar::CGainDlg</name>
    <message>
        <source>Muted</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Sound on</source>
        <translation>有声</translation>
    </message>
    <message>
        <source>Polarity inverted</source>
        <translation>反相</translation>
    </message>
    <message>
        <source>Polarity normal</source>
        <translation>正相</translation>
    </message>
    <message>
        <source>INPUTS</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>OUTPUTS</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>velmar::CHomeDlg</name>
    <message>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>PEQ</source>
        <translation>均衡</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>X-Over</source>
        <translation>带通</translation>
    </message>
    <message>
        <source>Comp.</source>
        <translation>压缩</translation>
    </message>
    <message>
        <source>In %1</source>
        <translation>输入%1</translation>
    </message>
    <message>
        <source>Out %1</source>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source>In %1 feeds Out %2</source>
        <translation>输入%1 送往 输出 %2</translation>
    </message>
    <message>
        <source>In %1 does not feed Out %2</source>
        <translation>输入%1 不送往 输出 %2</translation>
    </message>
</context>
<context>
    <name>velmar::CInputDlg</name>
    <message>
        <source>GAIN / POL</source>
        <translation>增益/极性</translation>
    </message>
    <message>
        <source>DELAY</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>EQ</source>
        <translation>均衡</translation>
    </message>
    <message>
        <source>Freq</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q值</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Bypass</source>
        <translation>直通</translation>
    </message>
    <message>
        <source>EQ RESET</source>
        <translation>EQ 重置</translation>
    </message>
    <message>
        <source>EQ BYPASS</source>
        <translation>EQ 旁路</translation>
    </message>
    <message>
        <source>PEQ</source>
        <translation>参量</translation>
    </message>
    <message>
        <source>Lo_Shf</source>
        <translation>低架</translation>
    </message>
    <message>
        <source>Hi_Shf</source>
        <translation>高架</translation>
    </message>
    <message>
        <source>Bypass: the band at 0 dB; press again to restore its gain</source>
        <translation>直通：该段设为 0 dB；再按一次恢复原增益</translation>
    </message>
    <message>
        <source>Band type, as the processor or a program file set it</source>
        <translation>段类型（由处理器或程序文件设定）</translation>
    </message>
    <message>
        <source>All ten bands to their start values and the graphic EQ flat</source>
        <translation>十段均衡恢复初始值，图示均衡归零</translation>
    </message>
    <message>
        <source>Flattens the ten bands and the graphic EQ; press again to restore them</source>
        <translation>十段均衡和图示均衡暂设为 0 dB；再按一次恢复</translation>
    </message>
</context>
<context>
    <name>velmar::CMemoryLoad</name>
    <message>
        <source>Load</source>
        <translation>调用</translation>
    </message>
    <message>
        <source>Don&apos;t open the USB connection</source>
        <translation>没打开USB联接</translation>
    </message>
    <message>
        <source>Please select one group</source>
        <translation>请选择调用组</translation>
    </message>
    <message>
        <source>Load successful</source>
        <translation>调用成功</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>正在调用...</translation>
    </message>
    <message>
        <source>Load failed</source>
        <translation>调用失败</translation>
    </message>
</context>
<context>
    <name>velmar::CMemorySave</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Don&apos;t open the USB connection</source>
        <translation>没打开USB联接</translation>
    </message>
    <message>
        <source>Please select one group</source>
        <translation>请选择保存组</translation>
    </message>
    <message>
        <source>Save successful</source>
        <translation>保存成功</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>正在保存...</translation>
    </message>
    <message>
        <source>Save failed</source>
        <translation>保存失败</translation>
    </message>
</context>
<context>
    <name>velmar::COutputDlg</name>
    <message>
        <source>GAIN / POL</source>
        <translation>增益/极性</translation>
    </message>
    <message>
        <source>DELAY</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>EQ</source>
        <translation>均衡</translation>
    </message>
    <message>
        <source>Freq</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q值</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Bypass</source>
        <translation>直通</translation>
    </message>
    <message>
        <source>EQ RESET</source>
        <translation>EQ 重置</translation>
    </message>
    <message>
        <source>EQ BYPASS</source>
        <translation>EQ 旁路</translation>
    </message>
    <message>
        <source>PEQ</source>
        <translation>参量</translation>
    </message>
    <message>
        <source>Lo_Shf</source>
        <translation>低架</translation>
    </message>
    <message>
        <source>Hi_Shf</source>
        <translation>高架</translation>
    </message>
    <message>
        <source>XOVER</source>
        <translation>带通</translation>
    </message>
    <message>
        <source>COMPRESSOR</source>
        <translation>压缩</translation>
    </message>
    <message>
        <source> Freq</source>
        <translation> 频率</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>crossover</comment>
        <translation> 类型</translation>
    </message>
    <message>
        <source>HPF</source>
        <translation>高通</translation>
    </message>
    <message>
        <source>LPF</source>
        <translation>低通</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阀        值</translation>
    </message>
    <message>
        <source>    Attack</source>
        <translation>启动时间</translation>
    </message>
    <message>
        <source>  Release</source>
        <translation>释放时间</translation>
    </message>
    <message>
        <source>    Ratio</source>
        <translation>压缩比例</translation>
    </message>
    <message>
        <source>High-pass frequency in Hz; 20 is OFF</source>
        <translation>高通频率 (Hz)；20 为关闭 (OFF)</translation>
    </message>
    <message>
        <source>Low-pass frequency in Hz; 20000 is OFF</source>
        <translation>低通频率 (Hz)；20000 为关闭 (OFF)</translation>
    </message>
    <message>
        <source>Lin-Ril 12dB</source>
        <translation>宁克 12dB   </translation>
    </message>
    <message>
        <source>Lin-Ril 24dB</source>
        <translation>宁克 24dB   </translation>
    </message>
    <message>
        <source>Lin-Ril 36dB</source>
        <translation>宁克 36dB   </translation>
    </message>
    <message>
        <source>Lin-Ril 48dB</source>
        <translation>宁克 48dB   </translation>
    </message>
    <message>
        <source>ButterW 12dB</source>
        <translation>巴特沃斯 12dB</translation>
    </message>
    <message>
        <source>ButterW 18dB</source>
        <translation>巴特沃斯 18dB</translation>
    </message>
    <message>
        <source>ButterW 24dB</source>
        <translation>巴特沃斯 24dB</translation>
    </message>
    <message>
        <source>Bessel 12dB </source>
        <translation>贝塞尔 12dB </translation>
    </message>
    <message>
        <source>Bessel 18dB </source>
        <translation>贝塞尔 18dB </translation>
    </message>
    <message>
        <source>Bessel 24dB </source>
        <translation>贝塞尔 24dB </translation>
    </message>
    <message>
        <source>Bypass: the band at 0 dB; press again to restore its gain</source>
        <translation>直通：该段设为 0 dB；再按一次恢复原增益</translation>
    </message>
    <message>
        <source>Band type: peaking or a shelf</source>
        <translation>段类型：参量或架式</translation>
    </message>
    <message>
        <source>All ten bands to their start values</source>
        <translation>十段均衡恢复初始值</translation>
    </message>
    <message>
        <source>Flattens the ten bands; press again to restore them</source>
        <translation>十段均衡暂设为 0 dB；再按一次恢复</translation>
    </message>
</context>
<context>
    <name>velmar::CSaveDlg</name>
    <message>
        <source>Name</source>
        <translation>组名</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velmar::CSystemDlg</name>
    <message>
        <source>Configure</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Channel Copy</source>
        <translation>通道拷贝</translation>
    </message>
    <message>
        <source>INPUT</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>OUTPUT</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>数据源</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>目的</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>NoiseGate</source>
        <translation>噪声门</translation>
    </message>
    <message>
        <source>  IN A</source>
        <translation>输入A</translation>
    </message>
    <message>
        <source>  IN B</source>
        <translation>输入B</translation>
    </message>
    <message>
        <source>  IN C</source>
        <translation>输入C</translation>
    </message>
    <message>
        <source>  IN D</source>
        <translation>输入D</translation>
    </message>
</context>
<context>
    <name>velmar::CVelmarDlg</name>
    <message>
        <source>Exporting data completed</source>
        <translation>导出数据完成</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation> Remote 连接 </translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect 连 接</translation>
    </message>
    <message>
        <source>Device</source>
        <translation> Device 设备 </translation>
    </message>
    <message>
        <source>2 In 4 Out</source>
        <translation>2 进 4 出</translation>
    </message>
    <message>
        <source>2 In 6 Out</source>
        <translation>2 进 6 出</translation>
    </message>
    <message>
        <source>3 In 6 Out</source>
        <translation>3 进 6 出</translation>
    </message>
    <message>
        <source>4 In 6 Out</source>
        <translation>4 进 6 出</translation>
    </message>
    <message>
        <source>4 In 8 Out</source>
        <translation>4 进 8 出</translation>
    </message>
    <message>
        <source>Program</source>
        <translation> Program 程序 </translation>
    </message>
    <message>
        <source>Load</source>
        <comment>Program menu</comment>
        <translation>调 用</translation>
    </message>
    <message>
        <source>Save</source>
        <comment>Program menu</comment>
        <translation>保 存</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导 入</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导 出</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System 系统 </translation>
    </message>
    <message>
        <source>Configure</source>
        <comment>System menu</comment>
        <translation> Configure 配置 </translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help 帮助 </translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>WIFI</source>
        <translation>WIFI</translation>
    </message>
    <message>
        <source>UnConnect</source>
        <translation>未联机</translation>
    </message>
    <message>
        <source>RS232 Connect</source>
        <translation>RS232联机</translation>
    </message>
    <message>
        <source>USB Connect</source>
        <translation>USB联机</translation>
    </message>
    <message>
        <source>WIFI Connect</source>
        <translation>WIFI联机</translation>
    </message>
    <message>
        <source>Connect State:</source>
        <translation>联机状态:</translation>
    </message>
    <message>
        <source>Program Name:</source>
        <translation>程序名称:</translation>
    </message>
    <message>
        <source>Device Addr:</source>
        <translation>设备地址:</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>软件版本:</translation>
    </message>
    <message>
        <source>MusicFile Write Error</source>
        <translation>MusicFile Write Error</translation>
    </message>
    <message>
        <source>MusicFile read Error</source>
        <translation>MusicFile read Error</translation>
    </message>
    <message>
        <source>Importing data completed</source>
        <translation>导入数据完成</translation>
    </message>
    <message>
        <source>Unable to open COM-port</source>
        <translation>Unable to open COM-port</translation>
    </message>
    <message>
        <source>Permission denied: only members of the group &quot;%2&quot; may open %1.
Join it with
    sudo usermod -aG %2 $USER
then log out and in again.</source>
        <translation>没有权限：只有用户组“%2”的成员才能打开 %1。
请运行
    sudo usermod -aG %2 $USER
加入该组，然后注销并重新登录。</translation>
    </message>
    <message>
        <source>Can&apos;t open the wifi</source>
        <translation>不能打开网络</translation>
    </message>
    <message>
        <source>Device disconnect</source>
        <translation>设备断开联连</translation>
    </message>
    <message>
        <source>Can&apos;t find the device, please check it</source>
        <translation>没找到设备,请检查是否连接好</translation>
    </message>
    <message>
        <source>Periodic verify</source>
        <translation>定时校验</translation>
    </message>
    <message>
        <source>Import failed, the processor&apos;s settings are shown</source>
        <translation>导入失败，已显示设备设置</translation>
    </message>
    <message>
        <source>Program name not confirmed</source>
        <translation>程序名未确认</translation>
    </message>
</context>
<context>
    <name>velmar::CoreMessage</name>
    <message>
        <source>COM connect error</source>
        <translation>串口连接错误</translation>
    </message>
    <message>
        <source>USB connect error</source>
        <translation>USB连接错误</translation>
    </message>
    <message>
        <source>WIFI connect error</source>
        <translation>网络连接错误</translation>
    </message>
    <message>
        <source>Input Channel Copy successful</source>
        <translation>Input Channel Copy successful</translation>
    </message>
    <message>
        <source>Output Channel Copy successful</source>
        <translation>Output Channel Copy successful</translation>
    </message>
</context>
<context>
    <name>velmar::DeviceConfig</name>
    <message>
        <source>      Home      </source>
        <comment>configuration 3</comment>
        <translation>    主 页      </translation>
    </message>
    <message>
        <source>      Gain       </source>
        <comment>configuration 3</comment>
        <translation>    增 益      </translation>
    </message>
    <message>
        <source>      Delay      </source>
        <comment>configuration 3</comment>
        <translation>    延 时      </translation>
    </message>
    <message>
        <source>      GEQ A      </source>
        <comment>configuration 3</comment>
        <translation>    均衡 A     </translation>
    </message>
    <message>
        <source>      GEQ B      </source>
        <comment>configuration 3</comment>
        <translation>    均衡 B     </translation>
    </message>
    <message>
        <source>      IN A     </source>
        <comment>configuration 3</comment>
        <translation>    输 入 A    </translation>
    </message>
    <message>
        <source>      IN B     </source>
        <comment>configuration 3</comment>
        <translation>    输 入 B    </translation>
    </message>
    <message>
        <source>    OUT %1     </source>
        <comment>configuration 3</comment>
        <translation>   输 出 %1    </translation>
    </message>
    <message>
        <source>    Home    </source>
        <comment>configuration 4</comment>
        <translation>   主 页   </translation>
    </message>
    <message>
        <source>    Gain    </source>
        <comment>configuration 4</comment>
        <translation>   增 益   </translation>
    </message>
    <message>
        <source>    Delay    </source>
        <comment>configuration 4</comment>
        <translation>   延 时   </translation>
    </message>
    <message>
        <source>    GEQ A    </source>
        <comment>configuration 4</comment>
        <translation>   均衡 A  </translation>
    </message>
    <message>
        <source>    GEQ B    </source>
        <comment>configuration 4</comment>
        <translation>   均衡 B  </translation>
    </message>
    <message>
        <source>    IN A     </source>
        <comment>configuration 4</comment>
        <translation>   输入 A   </translation>
    </message>
    <message>
        <source>    IN B     </source>
        <comment>configuration 4</comment>
        <translation>   输入 B   </translation>
    </message>
    <message>
        <source>   OUT %1   </source>
        <comment>configuration 4</comment>
        <translation>   输出 %1  </translation>
    </message>
    <message>
        <source> Home  </source>
        <comment>configuration 5</comment>
        <translation> 主 页 </translation>
    </message>
    <message>
        <source> Gain  </source>
        <comment>configuration 5</comment>
        <translation> 增 益 </translation>
    </message>
    <message>
        <source> Delay </source>
        <comment>configuration 5</comment>
        <translation> 延 时 </translation>
    </message>
    <message>
        <source> GEQ A </source>
        <comment>configuration 5</comment>
        <translation> 均衡A </translation>
    </message>
    <message>
        <source> GEQ B </source>
        <comment>configuration 5</comment>
        <translation> 均衡B </translation>
    </message>
    <message>
        <source> GEQ C </source>
        <comment>configuration 5</comment>
        <translation> 均衡C </translation>
    </message>
    <message>
        <source> GEQ D </source>
        <comment>configuration 5</comment>
        <translation> 均衡D </translation>
    </message>
    <message>
        <source> INPUTA </source>
        <comment>configuration 5</comment>
        <translation> 输入 A</translation>
    </message>
    <message>
        <source> INPUTB </source>
        <comment>configuration 5</comment>
        <translation> 输入 B</translation>
    </message>
    <message>
        <source> INPUTC </source>
        <comment>configuration 5</comment>
        <translation> 输入 C</translation>
    </message>
    <message>
        <source>OUTPUT%1</source>
        <comment>configuration 5</comment>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source> Home  </source>
        <comment>configuration 6</comment>
        <translation> 主 页</translation>
    </message>
    <message>
        <source> Gain  </source>
        <comment>configuration 6</comment>
        <translation> 增 益</translation>
    </message>
    <message>
        <source> Delay </source>
        <comment>configuration 6</comment>
        <translation> 延 时</translation>
    </message>
    <message>
        <source> GEQ A  </source>
        <comment>configuration 6</comment>
        <translation> 均衡A </translation>
    </message>
    <message>
        <source> GEQ B  </source>
        <comment>configuration 6</comment>
        <translation> 均衡B </translation>
    </message>
    <message>
        <source> GEQ C  </source>
        <comment>configuration 6</comment>
        <translation> 均衡C </translation>
    </message>
    <message>
        <source> GEQ D </source>
        <comment>configuration 6</comment>
        <translation> 均衡D </translation>
    </message>
    <message>
        <source>  IN A </source>
        <comment>configuration 6</comment>
        <translation>输入 A</translation>
    </message>
    <message>
        <source>  IN B </source>
        <comment>configuration 6</comment>
        <translation>输入 B</translation>
    </message>
    <message>
        <source>  IN C </source>
        <comment>configuration 6</comment>
        <translation>输入 C</translation>
    </message>
    <message>
        <source>  IN D </source>
        <comment>configuration 6</comment>
        <translation>输入 D</translation>
    </message>
    <message>
        <source>  OUT %1 </source>
        <comment>configuration 6</comment>
        <translation> 输出 %1</translation>
    </message>
    <message>
        <source> Home </source>
        <comment>configuration 7</comment>
        <translation>主页 </translation>
    </message>
    <message>
        <source> Gain </source>
        <comment>configuration 7</comment>
        <translation> 增益 </translation>
    </message>
    <message>
        <source>Delay</source>
        <comment>configuration 7</comment>
        <translation> 延时 </translation>
    </message>
    <message>
        <source>GEQ A</source>
        <comment>configuration 7</comment>
        <translation>均衡A</translation>
    </message>
    <message>
        <source>GEQ B</source>
        <comment>configuration 7</comment>
        <translation>均衡B</translation>
    </message>
    <message>
        <source>GEQ C</source>
        <comment>configuration 7</comment>
        <translation>均衡C</translation>
    </message>
    <message>
        <source>GEQ D</source>
        <comment>configuration 7</comment>
        <translation>均衡D</translation>
    </message>
    <message>
        <source> IN A </source>
        <comment>configuration 7</comment>
        <translation>输入A</translation>
    </message>
    <message>
        <source> IN B </source>
        <comment>configuration 7</comment>
        <translation>输入B</translation>
    </message>
    <message>
        <source> IN C </source>
        <comment>configuration 7</comment>
        <translation>输入C</translation>
    </message>
    <message>
        <source> IN D </source>
        <comment>configuration 7</comment>
        <translation>输入D</translation>
    </message>
    <message>
        <source> OUT %1</source>
        <comment>configuration 7</comment>
        <translation>输出%1</translation>
    </message>
</context>
<context>
    <name>velmar::LanguageManager</name>
    <message>
        <source>English</source>
        <comment>the name of this language, written in it</comment>
        <translation>中文</translation>
    </message>
</context>
<context>
    <name>velmar::SysPages</name>
    <message>
        <source>INPUT %1</source>
        <translation>输入 %1</translation>
    </message>
    <message>
        <source>OUTPUT %1</source>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source>Data out of range</source>
        <translation>数据超出范围</translation>
    </message>
</context>
<context>
    <name>velmar::SysProgramDialog</name>
    <message>
        <source>ID</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>组名</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velmar::SyncIndicator</name>
    <message>
        <source>Synced</source>
        <translation>已同步</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>校验中</translation>
    </message>
    <message>
        <source>Repaired %1</source>
        <translation>已修复 %1</translation>
    </message>
    <message>
        <source>%1 not confirmed</source>
        <translation>%1 项未确认</translation>
    </message>
    <message>
        <source>Processor changed %1 values</source>
        <translation>设备端修改了 %1 项</translation>
    </message>
    <message>
        <source>Click for the fields the processor has not confirmed</source>
        <translation>点击查看设备未确认的项</translation>
    </message>
</context>
<context>
    <name>velmar::CUnconfirmedDlg</name>
    <message>
        <source>Not confirmed</source>
        <translation>未确认</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>页面</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Processor</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>本机</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Graphic EQ</source>
        <translation>图示均衡</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>The processor has not taken these values; they are sent again at every verify read.</source>
        <translation>设备尚未接受这些数值；每次校验时会重新发送。</translation>
    </message>
    <message>
        <source>%1 %2: processor %3, this computer %4</source>
        <translation>%1 %2：设备 %3，本机 %4</translation>
    </message>
</context>
</TS>
