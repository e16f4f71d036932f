<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
        <source>Delay</source>
        <translation>延时</translation>
    </message>
    <message>
        <source>Configuration %1</source>
        <translation>配置 %1</translation>
    </message>
</context>
<context>
    <name>velmar::CGEQDlg</name>
    <message>
        <source>Graphic EQ %1</source>
        <translation>均衡 %1</translation>
    </message>
    <message>
        <source>31 bands</source>
        <translation>31 段</translation>
    </message>
</context>
<context>
    <name>velmar::CGainDlg</name>
    <message>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>Configuration %1</source>
        <translation>配置 %1</translation>
    </message>
</context>
<context>
    <name>velmar::CHomeDlg</name>
    <message>
        <source>Home</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Configuration %1</source>
        <translation>配置 %1</translation>
    </message>
</context>
<context>
    <name>velmar::CInputDlg</name>
    <message>
        <source>Input %1</source>
        <translation>输入 %1</translation>
    </message>
    <message>
        <source>Gain, delay, polarity and the ten-band equaliser</source>
        <translation>增益、延时、极性和十段均衡</translation>
    </message>
</context>
<context>
    <name>velmar::CMemoryLoad</name>
    <message>
        <source>Load</source>
        <translation>调用</translation>
    </message>
</context>
<context>
    <name>velmar::CMemorySave</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
</context>
<context>
    <name>velmar::COutputDlg</name>
    <message>
        <source>Output %1</source>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source>Gain, delay, crossover, equaliser and compressor</source>
        <translation>增益、延时、分频、均衡和压缩</translation>
    </message>
</context>
<context>
    <name>velmar::CSystemDlg</name>
    <message>
        <source>Configure</source>
        <translation>配置</translation>
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
</TS>
