<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>访问网站</translation>
    </message>
    <message>
        <source>Copyright © 2026 Tarnholm. All rights reserved.</source>
        <translation>版权所有 © 2026 Tarnholm。保留所有权利。</translation>
    </message>
    <message>
        <source>Tavo REN is a trademark of Tarnholm.</source>
        <translation>Tavo REN 是 Tarnholm 的商标。</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Crash Occurs</source>
        <translation>程序崩溃</translation>
    </message>
    <message>
        <source>App crash catched!</source>
        <translation>程序发生崩溃！</translation>
    </message>
    <message>
        <source>Error code</source>
        <translation>错误代码</translation>
    </message>
    <message>
        <source>Error address</source>
        <translation>错误地址</translation>
    </message>
    <message>
        <source>Crash report &apos;%1&apos; has been saved to %2</source>
        <translation>崩溃报告“%1”已保存到 %2</translation>
    </message>
</context>
<context>
    <name>BorderEditingWidgetController</name>
    <message>
        <source>Border Size &amp; Color</source>
        <translation>边框大小和颜色</translation>
    </message>
</context>
<context>
    <name>BrowserDialogs</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Wrong Name</source>
        <translation>名称无效</translation>
    </message>
    <message>
        <source>A name cannot be empty, start with &quot;.&quot; or hold &quot;/&quot;, &quot;\&quot; or control characters.</source>
        <translation>名称不能为空，不能以“.”开头，也不能包含“/”、“\”或控制字符。</translation>
    </message>
</context>
<context>
    <name>CameraDialog</name>
    <message>
        <source>Capture video</source>
        <translation>录制视频</translation>
    </message>
    <message>
        <source>Capture still image</source>
        <translation>拍摄照片</translation>
    </message>
    <message>
        <source>Toggle Capture Type
Current: %1</source>
        <translation>切换拍摄类型
当前：%1</translation>
    </message>
    <message>
        <source>Camera Error</source>
        <translation>摄像头错误</translation>
    </message>
    <message>
        <source>Image Capture Error</source>
        <translation>拍照错误</translation>
    </message>
    <message>
        <source>Capture Error</source>
        <translation>拍摄错误</translation>
    </message>
    <message>
        <source>No camera</source>
        <translation>没有摄像头</translation>
    </message>
    <message>
        <source>Opening camera...</source>
        <translation>正在打开摄像头…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>0:00</source>
        <translation>0:00</translation>
    </message>
    <message>
        <source>Retake</source>
        <translation>重拍</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
</context>
<context>
    <name>CanvasWidget</name>
    <message>
        <source>Add Text</source>
        <translation>添加文字</translation>
    </message>
    <message>
        <source>Edit Text</source>
        <translation>编辑文字</translation>
    </message>
    <message>
        <source>Enter text here</source>
        <translation>在此输入文字</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Insert a Picture</source>
        <translation>插入图片</translation>
    </message>
</context>
<context>
    <name>CommonMainWindow</name>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>DesktopMainWindow</name>
    <message>
        <source>Media Explorer</source>
        <translation>媒体浏览器</translation>
    </message>
    <message>
        <source>Segment Inspector</source>
        <translation>片段属性</translation>
    </message>
    <message>
        <source>Cropping...</source>
        <translation>正在裁剪…</translation>
    </message>
    <message>
        <source>Editing...</source>
        <translation>正在编辑…</translation>
    </message>
    <message>
        <source>Drawing...</source>
        <translation>正在绘制…</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>线性</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>平滑</translation>
    </message>
    <message>
        <source>Circular</source>
        <translation>圆弧</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>回弹</translation>
    </message>
    <message>
        <source>Elastic</source>
        <translation>弹性</translation>
    </message>
    <message>
        <source>Bounce</source>
        <translation>弹跳</translation>
    </message>
    <message>
        <source>%1 In</source>
        <translation>%1缓入</translation>
    </message>
    <message>
        <source>%1 Out</source>
        <translation>%1缓出</translation>
    </message>
    <message>
        <source>%1 InOut</source>
        <translation>%1缓入缓出</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Save &amp;&amp; Close</source>
        <translation>保存并关闭</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>View</source>
        <translation>视图</translation>
    </message>
    <message>
        <source>Segment</source>
        <translation>片段</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>转场</translation>
    </message>
    <message>
        <source>Movie</source>
        <translation>影片</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Tavo REN Help</source>
        <translation>Tavo REN 帮助</translation>
    </message>
    <message>
        <source>Get Tavo REN on Smartphones</source>
        <translation>获取手机版 Tavo REN</translation>
    </message>
    <message>
        <source>About Tavo REN</source>
        <translation>关于 Tavo REN</translation>
    </message>
    <message>
        <source>Preview Scale</source>
        <translation>预览缩放</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>75%</source>
        <translation>75%</translation>
    </message>
    <message>
        <source>50%</source>
        <translation>50%</translation>
    </message>
    <message>
        <source>25%</source>
        <translation>25%</translation>
    </message>
    <message>
        <source>Preview Resolution</source>
        <translation>预览分辨率</translation>
    </message>
    <message>
        <source>360p</source>
        <translation>360p</translation>
    </message>
    <message>
        <source>540p</source>
        <translation>540p</translation>
    </message>
    <message>
        <source>720p</source>
        <translation>720p</translation>
    </message>
    <message>
        <source>1080p</source>
        <translation>1080p</translation>
    </message>
    <message>
        <source>Preview scale</source>
        <translation>预览缩放</translation>
    </message>
    <message>
        <source>Preview resolution</source>
        <translation>预览分辨率</translation>
    </message>
    <message>
        <source>Fullscreen Preview</source>
        <translation>全屏预览</translation>
    </message>
    <message>
        <source>Previous position</source>
        <translation>上一位置</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Next position</source>
        <translation>下一位置</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Movie configuration</source>
        <translation>影片设置</translation>
    </message>
    <message>
        <source>Export the movie</source>
        <translation>导出影片</translation>
    </message>
    <message>
        <source>No editing segment</source>
        <translation>未选择片段</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>隐藏</translation>
    </message>
</context>
<context>
    <name>DoneButtonEditingWidget</name>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>DrawingCommonToolsWidget</name>
    <message>
        <source>Free Pencil</source>
        <translation>自由画笔</translation>
    </message>
    <message>
        <source>Spray</source>
        <translation>喷枪</translation>
    </message>
    <message>
        <source>Texture</source>
        <translation>纹理</translation>
    </message>
    <message>
        <source>Eraser</source>
        <translation>橡皮擦</translation>
    </message>
    <message>
        <source>Clear Painting</source>
        <translation>清除画布</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Line Width</source>
        <translation>线宽</translation>
    </message>
    <message>
        <source>Straight Line</source>
        <translation>直线</translation>
    </message>
    <message>
        <source>Rectangle Outline</source>
        <translation>矩形框</translation>
    </message>
    <message>
        <source>Filled Rectangle</source>
        <translation>实心矩形</translation>
    </message>
    <message>
        <source>Round Rectangle Outline</source>
        <translation>圆角矩形框</translation>
    </message>
    <message>
        <source>Filled Round Rectangle</source>
        <translation>实心圆角矩形</translation>
    </message>
    <message>
        <source>Circle Outline</source>
        <translation>圆形框</translation>
    </message>
    <message>
        <source>Filled Circle</source>
        <translation>实心圆形</translation>
    </message>
    <message>
        <source>Ellipse Outline</source>
        <translation>椭圆框</translation>
    </message>
    <message>
        <source>Filled Ellipse</source>
        <translation>实心椭圆</translation>
    </message>
    <message>
        <source>Triangle Outline</source>
        <translation>三角形框</translation>
    </message>
    <message>
        <source>Filled Triangle</source>
        <translation>实心三角形</translation>
    </message>
    <message>
        <source>Rhombus Outline</source>
        <translation>菱形框</translation>
    </message>
    <message>
        <source>Filled Rhombus</source>
        <translation>实心菱形</translation>
    </message>
    <message>
        <source>Pentagram Outline</source>
        <translation>五角星框</translation>
    </message>
    <message>
        <source>Filled Pentagram</source>
        <translation>实心五角星</translation>
    </message>
    <message>
        <source>Pentagon Outline</source>
        <translation>五边形框</translation>
    </message>
    <message>
        <source>Filled Pentagon</source>
        <translation>实心五边形</translation>
    </message>
    <message>
        <source>Heart Outline</source>
        <translation>心形框</translation>
    </message>
    <message>
        <source>Filled Heart</source>
        <translation>实心心形</translation>
    </message>
    <message>
        <source>Save to Album</source>
        <translation>保存到相册</translation>
    </message>
    <message>
        <source>Insert Text</source>
        <translation>插入文字</translation>
    </message>
    <message>
        <source>Insert Picture</source>
        <translation>插入图片</translation>
    </message>
    <message>
        <source>Stroke Hardness</source>
        <translation>笔触硬度</translation>
    </message>
    <message>
        <source>Linear Gradient</source>
        <translation>线性渐变</translation>
    </message>
    <message>
        <source>Radial Gradient</source>
        <translation>径向渐变</translation>
    </message>
    <message>
        <source>Switch between pencil and eraser</source>
        <translation>在画笔和橡皮擦之间切换</translation>
    </message>
    <message>
        <source>Dashed Line</source>
        <translation>虚线</translation>
    </message>
    <message>
        <source>Dotted Line</source>
        <translation>点线</translation>
    </message>
    <message>
        <source>Arrow Line</source>
        <translation>箭头</translation>
    </message>
</context>
<context>
    <name>DrawingTuningWidget</name>
    <message>
        <source>Select picture</source>
        <translation>选择图片</translation>
    </message>
    <message>
        <source>Picture size</source>
        <translation>图片大小</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Change text</source>
        <translation>修改文字</translation>
    </message>
    <message>
        <source>Text alignment</source>
        <translation>文字对齐</translation>
    </message>
    <message>
        <source>Text size</source>
        <translation>文字大小</translation>
    </message>
    <message>
        <source>Text font</source>
        <translation>文字字体</translation>
    </message>
    <message>
        <source>Line width</source>
        <translation>线宽</translation>
    </message>
    <message>
        <source>Hardness</source>
        <translation>硬度</translation>
    </message>
    <message>
        <source>Text Size</source>
        <translation>文字大小</translation>
    </message>
    <message>
        <source>Picture Size</source>
        <translation>图片大小</translation>
    </message>
</context>
<context>
    <name>EditButtonEditingWidget</name>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
</context>
<context>
    <name>EditButtonEditingWidgetController</name>
    <message>
        <source>Text</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>Edit Text</source>
        <translation>编辑文字</translation>
    </message>
    <message>
        <source>Self-Draw</source>
        <translation>手绘</translation>
    </message>
    <message>
        <source>Edit Drawing</source>
        <translation>编辑手绘</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Change Photo</source>
        <translation>更换图片</translation>
    </message>
</context>
<context>
    <name>EditableGradientWidget</name>
    <message>
        <source>Choose Color</source>
        <translation>选择颜色</translation>
    </message>
    <message>
        <source>No Color</source>
        <translation>无颜色</translation>
    </message>
</context>
<context>
    <name>FullscreenControlWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Previous position</source>
        <translation>上一位置</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Next position</source>
        <translation>下一位置</translation>
    </message>
    <message>
        <source>Exit fullscreen</source>
        <translation>退出全屏</translation>
    </message>
</context>
<context>
    <name>GeometryEditingWidget</name>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>0%</source>
        <translation>0%</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>H</source>
        <translation>H</translation>
    </message>
    <message>
        <source>∠</source>
        <translation>∠</translation>
    </message>
    <message>
        <source>0°</source>
        <translation>0°</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>裁剪</translation>
    </message>
    <message>
        <source>Flip Horizontally</source>
        <translation>水平翻转</translation>
    </message>
    <message>
        <source>Flip Vertically</source>
        <translation>垂直翻转</translation>
    </message>
    <message>
        <source>Maintain aspect ratio</source>
        <translation>保持宽高比</translation>
    </message>
    <message>
        <source>Restore the default</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <source>Rotate Clockwise</source>
        <translation>顺时针旋转</translation>
    </message>
    <message>
        <source>Rotate Counterclockwise</source>
        <translation>逆时针旋转</translation>
    </message>
    <message>
        <source>Geometry</source>
        <translation>位置和大小</translation>
    </message>
</context>
<context>
    <name>GiphyGifsWidget</name>
    <message>
        <source>Search GIPHY</source>
        <translation>搜索 GIPHY</translation>
    </message>
    <message>
        <source>Network error (code=%1 %2)</source>
        <translation>网络错误（代码=%1 %2）</translation>
    </message>
    <message>
        <source>Network error (code=%1)</source>
        <translation>网络错误（代码=%1）</translation>
    </message>
    <message>
        <source>Network failed (Status code=%1)</source>
        <translation>网络请求失败（状态码=%1）</translation>
    </message>
    <message>
        <source>Parse data error (code=%1)</source>
        <translation>数据解析错误（代码=%1）</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Downloading file...</source>
        <translation>正在下载文件…</translation>
    </message>
    <message>
        <source>Download error (code=%1)</source>
        <translation>下载错误（代码=%1）</translation>
    </message>
</context>
<context>
    <name>HorizontalMediaExplorerWidget</name>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Show pictures only</source>
        <translation>只显示图片</translation>
    </message>
    <message>
        <source>Show videos only</source>
        <translation>只显示视频</translation>
    </message>
    <message>
        <source>Show music only</source>
        <translation>只显示音乐</translation>
    </message>
    <message>
        <source>Show media from the system Photos and Music app</source>
        <translation>显示系统照片和音乐应用中的媒体</translation>
    </message>
    <message>
        <source>Show media from the In-App Library</source>
        <translation>显示应用内媒体库中的媒体</translation>
    </message>
    <message>
        <source>Show media from the Local Files (iTunes File Sharing) folder</source>
        <translation>显示本地文件（文件共享）文件夹中的媒体</translation>
    </message>
</context>
<context>
    <name>LocalFilesWidget</name>
    <message>
        <source>Directory not found</source>
        <translation>找不到文件夹</translation>
    </message>
    <message>
        <source>Show in File Explorer</source>
        <translation>在文件管理器中显示</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>影片</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message>
        <source>Select Directory...</source>
        <translation>选择文件夹…</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>Icon Mode</source>
        <translation>图标模式</translation>
    </message>
    <message>
        <source>List Mode</source>
        <translation>列表模式</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Maintain aspect ratio</source>
        <translation>保持宽高比</translation>
    </message>
    <message>
        <source>Restore the default</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <source>Fill the screen</source>
        <translation>填满画面</translation>
    </message>
    <message>
        <source>Edit Text</source>
        <translation>编辑文字</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>原始大小</translation>
    </message>
    <message>
        <source>Edit Drawing</source>
        <translation>编辑手绘</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Enter Range Selection</source>
        <translation>进入范围选择</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Toggle Insert/Overwite Mode</source>
        <translation>切换插入/覆盖模式</translation>
    </message>
    <message>
        <source>Alt+I</source>
        <translation>Alt+I</translation>
    </message>
    <message>
        <source>Toggle Fullscreen</source>
        <translation>切换全屏</translation>
    </message>
    <message>
        <source>Ctrl+Shift+H</source>
        <translation>Ctrl+Shift+H</translation>
    </message>
    <message>
        <source>Add File...</source>
        <translation>添加文件…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+F</source>
        <translation>Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>Add from Camera...</source>
        <translation>从摄像头添加…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>Add from Microphone...</source>
        <translation>从麦克风添加…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+M</source>
        <translation>Ctrl+Shift+M</translation>
    </message>
    <message>
        <source>Add Text</source>
        <translation>添加文字</translation>
    </message>
    <message>
        <source>Ctrl+Shift+T</source>
        <translation>Ctrl+Shift+T</translation>
    </message>
    <message>
        <source>Add Self-Draw</source>
        <translation>添加手绘</translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation>Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>拆分</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Add Transition</source>
        <translation>添加转场</translation>
    </message>
    <message>
        <source>Ctrl+Shift+D</source>
        <translation>Ctrl+Shift+D</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Edit Transition</source>
        <translation>编辑转场</translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation>Ctrl+T</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Next Position</source>
        <translation>下一位置</translation>
    </message>
    <message>
        <source>Ctrl+Right</source>
        <translation>Ctrl+Right</translation>
    </message>
    <message>
        <source>Previous Position</source>
        <translation>上一位置</translation>
    </message>
    <message>
        <source>Ctrl+Left</source>
        <translation>Ctrl+Left</translation>
    </message>
    <message>
        <source>Export &amp;&amp; Share</source>
        <translation>导出与分享</translation>
    </message>
    <message>
        <source>Configuration...</source>
        <translation>影片设置…</translation>
    </message>
    <message>
        <source>Unable to undo temporarily</source>
        <translation>暂时无法撤销</translation>
    </message>
    <message>
        <source>Unable to redo temporarily</source>
        <translation>暂时无法重做</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>Cannot move the captured photo file</source>
        <translation>无法移动拍摄的照片文件</translation>
    </message>
    <message>
        <source>Cannot move the captured video file</source>
        <translation>无法移动录制的视频文件</translation>
    </message>
    <message>
        <source>Error Occurs</source>
        <translation>发生错误</translation>
    </message>
    <message>
        <source>Cannot move the recorded sound file</source>
        <translation>无法移动录制的声音文件</translation>
    </message>
    <message>
        <source>Transparency</source>
        <translation>透明度</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Round Corner</source>
        <translation>圆角</translation>
    </message>
    <message>
        <source>Text Size &amp; Color</source>
        <translation>文字大小和颜色</translation>
    </message>
    <message>
        <source>Border Size &amp; Color</source>
        <translation>边框大小和颜色</translation>
    </message>
    <message>
        <source>Tolerance</source>
        <translation>容差</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>强度</translation>
    </message>
    <message>
        <source>Stroke</source>
        <translation>描边</translation>
    </message>
    <message>
        <source>Shadow</source>
        <translation>阴影</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>半径</translation>
    </message>
    <message>
        <source>Text Background</source>
        <translation>文字背景</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>间距</translation>
    </message>
    <message>
        <source>Create video failed</source>
        <translation>创建视频失败</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>打开项目</translation>
    </message>
    <message>
        <source>%1 items of this movie could not be read and are kept unchanged.</source>
        <translation>此影片中有 %1 项无法读取，已原样保留。</translation>
    </message>
    <message>
        <source>Save as Picture</source>
        <translation>另存为图片</translation>
    </message>
    <message>
        <source>Portable Network Graphics files (*.png)</source>
        <translation>PNG 图片文件 (*.png)</translation>
    </message>
    <message>
        <source>Saved OK</source>
        <translation>保存成功</translation>
    </message>
    <message>
        <source>Save painting failed</source>
        <translation>保存手绘失败</translation>
    </message>
    <message>
        <source>This file cannot be opened</source>
        <translation>无法打开此文件</translation>
    </message>
    <message>
        <source>Copy file failed</source>
        <translation>复制文件失败</translation>
    </message>
    <message>
        <source>Please wait a moment</source>
        <translation>请稍候</translation>
    </message>
    <message>
        <source>No content to export</source>
        <translation>没有可导出的内容</translation>
    </message>
    <message>
        <source>Export canceled</source>
        <translation>已取消导出</translation>
    </message>
    <message>
        <source>An error occurs when exporting the movie. (error code = %1)</source>
        <translation>导出影片时发生错误。（错误代码 = %1）</translation>
    </message>
    <message>
        <source>The preview is still busy, so the export could not start. Please try again.</source>
        <translation>预览仍在忙碌，导出无法开始。请重试。</translation>
    </message>
    <message>
        <source>Help Center</source>
        <translation>帮助中心</translation>
    </message>
    <message>
        <source>video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>media</source>
        <translation>媒体</translation>
    </message>
    <message>
        <source>All media files (*.*)</source>
        <translation>所有媒体文件 (*.*)</translation>
    </message>
    <message>
        <source>Choose %1 file to added into the current movie</source>
        <translation>选择要添加到当前影片的%1文件</translation>
    </message>
    <message>
        <source>Copying file...</source>
        <translation>正在复制文件…</translation>
    </message>
    <message>
        <source>Load Error</source>
        <translation>加载错误</translation>
    </message>
    <message>
        <source>File Not Found</source>
        <translation>找不到文件</translation>
    </message>
    <message>
        <source>Custom Transition</source>
        <translation>自定义转场</translation>
    </message>
    <message>
        <source>Fade In &amp;&amp; Fade Out</source>
        <translation>淡入和淡出</translation>
    </message>
    <message>
        <source>Fade In</source>
        <translation>淡入</translation>
    </message>
    <message>
        <source>Fade Out</source>
        <translation>淡出</translation>
    </message>
    <message>
        <source>Left In &amp;&amp; Right Out</source>
        <translation>左侧进入和右侧退出</translation>
    </message>
    <message>
        <source>Right In &amp;&amp; Left Out</source>
        <translation>右侧进入和左侧退出</translation>
    </message>
    <message>
        <source>Left In</source>
        <translation>左侧进入</translation>
    </message>
    <message>
        <source>Left Out</source>
        <translation>左侧退出</translation>
    </message>
    <message>
        <source>Right In</source>
        <translation>右侧进入</translation>
    </message>
    <message>
        <source>Right Out</source>
        <translation>右侧退出</translation>
    </message>
    <message>
        <source>Up In &amp;&amp; Down Out</source>
        <translation>上方进入和下方退出</translation>
    </message>
    <message>
        <source>Down In &amp;&amp; Up Out</source>
        <translation>下方进入和上方退出</translation>
    </message>
    <message>
        <source>Up In</source>
        <translation>上方进入</translation>
    </message>
    <message>
        <source>Up Out</source>
        <translation>上方退出</translation>
    </message>
    <message>
        <source>Down In</source>
        <translation>下方进入</translation>
    </message>
    <message>
        <source>Down Out</source>
        <translation>下方退出</translation>
    </message>
    <message>
        <source>Shrink In &amp;&amp; Shrink Out</source>
        <translation>缩小进入和缩小退出</translation>
    </message>
    <message>
        <source>Grow In &amp;&amp; Grow Out</source>
        <translation>放大进入和放大退出</translation>
    </message>
    <message>
        <source>Shrink In</source>
        <translation>缩小进入</translation>
    </message>
    <message>
        <source>Shrink Out</source>
        <translation>缩小退出</translation>
    </message>
    <message>
        <source>Grow In</source>
        <translation>放大进入</translation>
    </message>
    <message>
        <source>Grow Out</source>
        <translation>放大退出</translation>
    </message>
    <message>
        <source>Open In &amp;&amp; Close Out</source>
        <translation>展开进入和收起退出</translation>
    </message>
    <message>
        <source>Open In</source>
        <translation>展开进入</translation>
    </message>
    <message>
        <source>Close Out</source>
        <translation>收起退出</translation>
    </message>
    <message>
        <source>Wipe In &amp;&amp; Wipe Out</source>
        <translation>擦除进入和擦除退出</translation>
    </message>
    <message>
        <source>Wipe In</source>
        <translation>擦除进入</translation>
    </message>
    <message>
        <source>Wipe Out</source>
        <translation>擦除退出</translation>
    </message>
    <message>
        <source>No enough space for another transition</source>
        <translation>没有足够的空间再添加转场</translation>
    </message>
    <message>
        <source>Opening...</source>
        <translation>正在打开…</translation>
    </message>
    <message>
        <source>Open Project Failed</source>
        <translation>打开项目失败</translation>
    </message>
    <message>
        <source>The preview needs OpenGL 3.2 or later, which this display does not offer.</source>
        <translation>预览需要 OpenGL 3.2 或更高版本，当前显示环境不支持。</translation>
    </message>
    <message>
        <source>Convert Project Failed</source>
        <translation>转换项目失败</translation>
    </message>
    <message>
        <source>Current movie project is damaged.</source>
        <translation>当前影片项目已损坏。</translation>
    </message>
    <message>
        <source>Higher Version Project</source>
        <translation>更高版本的项目</translation>
    </message>
    <message>
        <source>Tavo REN can not open the higher version movie project. Please update Tavo REN to the latest version.</source>
        <translation>Tavo REN 无法打开更高版本的影片项目。请将 Tavo REN 更新到最新版本。</translation>
    </message>
    <message>
        <source>Open properties error occurs (%1)</source>
        <translation>打开项目属性时出错（%1）</translation>
    </message>
    <message>
        <source>Values Reset</source>
        <translation>数值已重置</translation>
    </message>
    <message>
        <source>Some values of this movie could not be shown and were reset to ones that can.</source>
        <translation>此影片中的部分数值无法显示，已重置为可显示的数值。</translation>
    </message>
    <message>
        <source>Blocks moved to where they can be seen: %1.</source>
        <translation>已移到可见位置的片段：%1 个。</translation>
    </message>
    <message>
        <source>Open project error occurs (%1)</source>
        <translation>打开项目时出错（%1）</translation>
    </message>
    <message>
        <source>Finish Editing</source>
        <translation>完成编辑</translation>
    </message>
    <message>
        <source>Finish Editing Transitions</source>
        <translation>完成转场编辑</translation>
    </message>
    <message>
        <source>Edit Transitions</source>
        <translation>编辑转场</translation>
    </message>
    <message>
        <source>Cancel Range Selection</source>
        <translation>取消范围选择</translation>
    </message>
    <message>
        <source>Toggle Insert/Overwrite Mode</source>
        <translation>切换插入/覆盖模式</translation>
    </message>
    <message>
        <source>Current: Overwrite mode</source>
        <translation>当前：覆盖模式</translation>
    </message>
    <message>
        <source>Current: Insert mode</source>
        <translation>当前：插入模式</translation>
    </message>
    <message>
        <source>Overwrite Mode On</source>
        <translation>已开启覆盖模式</translation>
    </message>
    <message>
        <source>Insert Mode On</source>
        <translation>已开启插入模式</translation>
    </message>
    <message>
        <source>Text Alignment: Left</source>
        <translation>文字对齐：左对齐</translation>
    </message>
    <message>
        <source>Text Alignment: Right</source>
        <translation>文字对齐：右对齐</translation>
    </message>
    <message>
        <source>Text Alignment: Center</source>
        <translation>文字对齐：居中</translation>
    </message>
    <message>
        <source>Failed to save movie</source>
        <translation>保存影片失败</translation>
    </message>
    <message>
        <source>%1 could not be written: %2.</source>
        <translation>无法写入 %1：%2。</translation>
    </message>
    <message>
        <source>The movie could not be saved. %1 Your changes are still open in this window.</source>
        <translation>无法保存影片。%1 您的修改仍保留在此窗口中。</translation>
    </message>
    <message>
        <source>This movie of an older version could not be saved in the current format. %1 Nothing was changed in this window; the movie on disk stays as it was.</source>
        <translation>无法以当前格式保存此旧版本影片。%1 此窗口中的内容没有改变，磁盘上的影片保持原样。</translation>
    </message>
    <message>
        <source>Save Failed</source>
        <translation>保存失败</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>Keep Window Open</source>
        <translation>保持窗口打开</translation>
    </message>
    <message>
        <source>Close Without Saving</source>
        <translation>关闭且不保存</translation>
    </message>
    <message>
        <source>Export Interrupted</source>
        <translation>导出中断</translation>
    </message>
    <message>
        <source>Do you want to cancel the exporting?</source>
        <translation>要取消导出吗？</translation>
    </message>
    <message>
        <source>Canceling...</source>
        <translation>正在取消…</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>正在保存…</translation>
    </message>
    <message>
        <source>Move timeline to the position to split</source>
        <translation>请将时间线移到要拆分的位置</translation>
    </message>
    <message>
        <source>How to deal with the existing transition(s)?</source>
        <translation>如何处理已有的转场？</translation>
    </message>
    <message>
        <source>Duplicate and shorten the transition(s)</source>
        <translation>复制并缩短转场</translation>
    </message>
    <message>
        <source>Don&apos;t shorten the transition(s)</source>
        <translation>不缩短转场</translation>
    </message>
    <message>
        <source>Move timeline to the position to grab image</source>
        <translation>请将时间线移到要截取画面的位置</translation>
    </message>
    <message>
        <source>Save image failed</source>
        <translation>保存图片失败</translation>
    </message>
    <message>
        <source>Image saved to Pictures successfully</source>
        <translation>图片已保存到“图片”文件夹</translation>
    </message>
    <message>
        <source>Add Media</source>
        <translation>添加媒体</translation>
    </message>
    <message>
        <source>Add Video</source>
        <translation>添加视频</translation>
    </message>
    <message>
        <source>Add Picture</source>
        <translation>添加图片</translation>
    </message>
    <message>
        <source>Add Music</source>
        <translation>添加音乐</translation>
    </message>
    <message>
        <source>Rotate Clockwise</source>
        <translation>顺时针旋转</translation>
    </message>
    <message>
        <source>Rotate Counterclockwise</source>
        <translation>逆时针旋转</translation>
    </message>
    <message>
        <source>Flip Horizontally</source>
        <translation>水平翻转</translation>
    </message>
    <message>
        <source>Flip Vertically</source>
        <translation>垂直翻转</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>裁剪</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Chroma Key</source>
        <translation>抠像</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Add/Edit Transition</source>
        <translation>添加/编辑转场</translation>
    </message>
    <message>
        <source>Change Speed</source>
        <translation>变速</translation>
    </message>
    <message>
        <source>Slow/Fast Motion</source>
        <translation>慢动作/快动作</translation>
    </message>
    <message>
        <source>Change Photo</source>
        <translation>更换图片</translation>
    </message>
    <message>
        <source>Border</source>
        <translation>边框</translation>
    </message>
    <message>
        <source>Change Text Size/Color</source>
        <translation>修改文字大小/颜色</translation>
    </message>
    <message>
        <source>Select Font for Text</source>
        <translation>选择文字字体</translation>
    </message>
    <message>
        <source>Change Text Background</source>
        <translation>修改文字背景</translation>
    </message>
    <message>
        <source>Grab image from video</source>
        <translation>从视频截取画面</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>回弹</translation>
    </message>
    <message>
        <source>Easing type: %1</source>
        <translation>缓动类型：%1</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>线性</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>平滑</translation>
    </message>
    <message>
        <source>Circular</source>
        <translation>圆弧</translation>
    </message>
    <message>
        <source>Elastic</source>
        <translation>弹性</translation>
    </message>
    <message>
        <source>Bounce</source>
        <translation>弹跳</translation>
    </message>
    <message>
        <source>Easing type: %1 In</source>
        <translation>缓动类型：%1缓入</translation>
    </message>
    <message>
        <source>Easing type: %1 Out</source>
        <translation>缓动类型：%1缓出</translation>
    </message>
    <message>
        <source>Easing type: %1 InOut</source>
        <translation>缓动类型：%1缓入缓出</translation>
    </message>
    <message>
        <source>Failed to record operation</source>
        <translation>无法记录操作</translation>
    </message>
    <message>
        <source>No operation to undo</source>
        <translation>没有可撤销的操作</translation>
    </message>
    <message>
        <source>No operation to redo</source>
        <translation>没有可重做的操作</translation>
    </message>
    <message>
        <source>Back</source>
        <comment>leave the transitions</comment>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>MediaExplorerHelpTipWidget</name>
    <message>
        <source>Got it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>You can drag a footage from the Media Explorer and drop it directly at the desired location on a track.</source>
        <translation>可以从媒体浏览器中拖动素材，直接放到轨道上想要的位置。</translation>
    </message>
</context>
<context>
    <name>MediaExplorerWidget</name>
    <message>
        <source>Love</source>
        <translation>爱</translation>
    </message>
    <message>
        <source>Technology</source>
        <translation>科技</translation>
    </message>
    <message>
        <source>Naughty</source>
        <translation>调皮</translation>
    </message>
    <message>
        <source>Flight</source>
        <translation>飞翔</translation>
    </message>
    <message>
        <source>Cheerful</source>
        <translation>欢快</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>动感</translation>
    </message>
    <message>
        <source>Mountain</source>
        <translation>山峦</translation>
    </message>
    <message>
        <source>Doll</source>
        <translation>玩偶</translation>
    </message>
    <message>
        <source>Stadium</source>
        <translation>体育场</translation>
    </message>
    <message>
        <source>Lakeside</source>
        <translation>湖畔</translation>
    </message>
    <message>
        <source>Mechanical</source>
        <translation>机械</translation>
    </message>
    <message>
        <source>Faltering</source>
        <translation>踌躇</translation>
    </message>
    <message>
        <source>Travel</source>
        <translation>旅行</translation>
    </message>
    <message>
        <source>Disco</source>
        <translation>迪斯科</translation>
    </message>
    <message>
        <source>Ghost</source>
        <translation>幽灵</translation>
    </message>
    <message>
        <source>Danger</source>
        <translation>危险</translation>
    </message>
    <message>
        <source>Horror</source>
        <translation>恐怖</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>警报</translation>
    </message>
    <message>
        <source>Launghing Ghost</source>
        <translation>狂笑的幽灵</translation>
    </message>
    <message>
        <source>Beep</source>
        <translation>哔声</translation>
    </message>
    <message>
        <source>School Bell</source>
        <translation>上课铃</translation>
    </message>
    <message>
        <source>Church Bell</source>
        <translation>教堂钟声</translation>
    </message>
    <message>
        <source>Busy Office</source>
        <translation>繁忙的办公室</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Big Impact</source>
        <translation>猛烈撞击</translation>
    </message>
    <message>
        <source>Applause</source>
        <translation>鼓掌</translation>
    </message>
    <message>
        <source>Punching</source>
        <translation>拳击</translation>
    </message>
    <message>
        <source>Cheer</source>
        <translation>欢呼</translation>
    </message>
    <message>
        <source>Scream</source>
        <translation>尖叫</translation>
    </message>
    <message>
        <source>Ehhh</source>
        <translation>呃</translation>
    </message>
    <message>
        <source>Panic Screaming</source>
        <translation>惊恐尖叫</translation>
    </message>
    <message>
        <source>Laughing Crowd</source>
        <translation>人群大笑</translation>
    </message>
    <message>
        <source>Hmm</source>
        <translation>嗯</translation>
    </message>
    <message>
        <source>What</source>
        <translation>什么</translation>
    </message>
    <message>
        <source>Finger Snap</source>
        <translation>打响指</translation>
    </message>
    <message>
        <source>Slap Face</source>
        <translation>打耳光</translation>
    </message>
    <message>
        <source>Whistle</source>
        <translation>口哨</translation>
    </message>
    <message>
        <source>Appears</source>
        <translation>出现</translation>
    </message>
    <message>
        <source>Surprise</source>
        <translation>惊喜</translation>
    </message>
    <message>
        <source>Camera Shutter</source>
        <translation>相机快门</translation>
    </message>
    <message>
        <source>Clock Ticking</source>
        <translation>时钟嘀嗒</translation>
    </message>
    <message>
        <source>Pop-up</source>
        <translation>弹出</translation>
    </message>
    <message>
        <source>Timer Tick</source>
        <translation>计时器嘀嗒</translation>
    </message>
    <message>
        <source>Gun Shot</source>
        <translation>枪声</translation>
    </message>
    <message>
        <source>Elastic</source>
        <translation>橡皮筋</translation>
    </message>
    <message>
        <source>Reception Bell</source>
        <translation>前台铃</translation>
    </message>
    <message>
        <source>Keyboard Typing</source>
        <translation>键盘打字</translation>
    </message>
    <message>
        <source>Camera Shutter 2</source>
        <translation>相机快门 2</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Knock</source>
        <translation>敲门</translation>
    </message>
    <message>
        <source>Smartphone Vibrating</source>
        <translation>手机振动</translation>
    </message>
    <message>
        <source>Laser</source>
        <translation>激光</translation>
    </message>
    <message>
        <source>Friend Request</source>
        <translation>好友请求</translation>
    </message>
    <message>
        <source>iPhone Typing</source>
        <translation>手机打字</translation>
    </message>
    <message>
        <source>Phone Ringing</source>
        <translation>电话铃声</translation>
    </message>
    <message>
        <source>Door Bell</source>
        <translation>门铃</translation>
    </message>
    <message>
        <source>Monophonic Beat</source>
        <translation>单音节拍</translation>
    </message>
    <message>
        <source>Drum</source>
        <translation>鼓</translation>
    </message>
    <message>
        <source>Accordion</source>
        <translation>手风琴</translation>
    </message>
    <message>
        <source>Wind Chimes</source>
        <translation>风铃</translation>
    </message>
    <message>
        <source>Vibraphone</source>
        <translation>颤音琴</translation>
    </message>
    <message>
        <source>Harp 2</source>
        <translation>竖琴 2</translation>
    </message>
    <message>
        <source>Harp 1</source>
        <translation>竖琴 1</translation>
    </message>
    <message>
        <source>Slide Switch</source>
        <translation>滑动开关</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>转场</translation>
    </message>
    <message>
        <source>Stapler Staple</source>
        <translation>订书机</translation>
    </message>
    <message>
        <source>Throwing Knife</source>
        <translation>飞刀</translation>
    </message>
    <message>
        <source>Swoosh</source>
        <translation>嗖</translation>
    </message>
    <message>
        <source>Breaking News</source>
        <translation>突发新闻</translation>
    </message>
    <message>
        <source>Fast Pass</source>
        <translation>快速掠过</translation>
    </message>
    <message>
        <source>Train Bell</source>
        <translation>火车铃</translation>
    </message>
    <message>
        <source>Police 1</source>
        <translation>警笛 1</translation>
    </message>
    <message>
        <source>Police 2</source>
        <translation>警笛 2</translation>
    </message>
    <message>
        <source>Car Screeching</source>
        <translation>汽车急刹</translation>
    </message>
    <message>
        <source>Jet Fly Over</source>
        <translation>喷气机飞过</translation>
    </message>
    <message>
        <source>Vehicle Idle</source>
        <translation>车辆怠速</translation>
    </message>
    <message>
        <source>Jet Landing</source>
        <translation>喷气机降落</translation>
    </message>
    <message>
        <source>Helicopter</source>
        <translation>直升机</translation>
    </message>
    <message>
        <source>Ambulance</source>
        <translation>救护车</translation>
    </message>
    <message>
        <source>Thrush</source>
        <translation>画眉</translation>
    </message>
    <message>
        <source>Dog Bark</source>
        <translation>狗叫</translation>
    </message>
    <message>
        <source>Monkey</source>
        <translation>猴子</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>老鼠</translation>
    </message>
    <message>
        <source>Sheep</source>
        <translation>羊</translation>
    </message>
    <message>
        <source>Rooster Crowing</source>
        <translation>公鸡打鸣</translation>
    </message>
    <message>
        <source>Hen</source>
        <translation>母鸡</translation>
    </message>
    <message>
        <source>Crow</source>
        <translation>乌鸦</translation>
    </message>
    <message>
        <source>Flys</source>
        <translation>苍蝇</translation>
    </message>
    <message>
        <source>Ambience</source>
        <translation>氛围</translation>
    </message>
    <message>
        <source>People</source>
        <translation>人物</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>事件</translation>
    </message>
    <message>
        <source>Musical</source>
        <translation>乐器</translation>
    </message>
    <message>
        <source>Vehicle</source>
        <translation>交通工具</translation>
    </message>
    <message>
        <source>Animal</source>
        <translation>动物</translation>
    </message>
    <message>
        <source>Emoticons</source>
        <translation>表情</translation>
    </message>
    <message>
        <source>Party</source>
        <translation>派对</translation>
    </message>
    <message>
        <source>Comic Words</source>
        <translation>漫画文字</translation>
    </message>
</context>
<context>
    <name>MediaPreviewControlWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Close preview</source>
        <translation>关闭预览</translation>
    </message>
</context>
<context>
    <name>MediaPreviewWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
</context>
<context>
    <name>NativeWebBrowserWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>NewVersionDialog</name>
    <message>
        <source>New Version</source>
        <translation>新版本</translation>
    </message>
    <message>
        <source>A new version of Tavo REN is available.</source>
        <translation>Tavo REN 有新版本可用。</translation>
    </message>
    <message>
        <source>Current version</source>
        <translation>当前版本</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>新版本</translation>
    </message>
    <message>
        <source>Download new version</source>
        <translation>下载新版本</translation>
    </message>
    <message>
        <source>See what&apos;s new</source>
        <translation>查看新功能</translation>
    </message>
</context>
<context>
    <name>PopupChromaKeyWidget</name>
    <message>
        <source>Sensitivity</source>
        <translation>灵敏度</translation>
    </message>
    <message>
        <source>Smoothing</source>
        <translation>平滑度</translation>
    </message>
    <message>
        <source>On/Off</source>
        <translation>开/关</translation>
    </message>
    <message>
        <source>Key Color</source>
        <translation>抠像颜色</translation>
    </message>
    <message>
        <source>Chroma Key</source>
        <translation>抠像</translation>
    </message>
    <message>
        <source>Restore default values</source>
        <translation>恢复默认值</translation>
    </message>
</context>
<context>
    <name>PopupColorMatrixWidget</name>
    <message>
        <source>Recently Used Colors</source>
        <translation>最近使用的颜色</translation>
    </message>
    <message>
        <source>More Colors...</source>
        <translation>更多颜色…</translation>
    </message>
    <message>
        <source>Pick color from preview</source>
        <translation>从预览中取色</translation>
    </message>
</context>
<context>
    <name>PopupColorsScrollWidget</name>
    <message>
        <source>Saturation</source>
        <translation>饱和度</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>亮度</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>对比度</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>色温</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>曝光</translation>
    </message>
    <message>
        <source>Hue</source>
        <translation>色调</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>蓝</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Schemes</source>
        <translation>方案</translation>
    </message>
    <message>
        <source>Save as Scheme...</source>
        <translation>另存为方案…</translation>
    </message>
    <message>
        <source>Manage...</source>
        <translation>管理…</translation>
    </message>
    <message>
        <source>Save as Scheme</source>
        <translation>另存为方案</translation>
    </message>
    <message>
        <source>Enter scheme name</source>
        <translation>输入方案名称</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Color scheme saved</source>
        <translation>颜色方案已保存</translation>
    </message>
    <message>
        <source>Cannot save the color scheme</source>
        <translation>无法保存颜色方案</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Remove Scheme</source>
        <translation>删除方案</translation>
    </message>
    <message>
        <source>Do you really want to remove scheme &quot;%1&quot;?</source>
        <translation>确定要删除方案“%1”吗？</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Remove scheme failed</source>
        <translation>删除方案失败</translation>
    </message>
</context>
<context>
    <name>PopupColorsScrollWidgetEditItemWidget</name>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>PopupEasingFunctionsWidget</name>
    <message>
        <source>In</source>
        <translation>缓入</translation>
    </message>
    <message>
        <source>Out</source>
        <translation>缓出</translation>
    </message>
    <message>
        <source>InOut</source>
        <translation>缓入缓出</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>线性</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>平滑</translation>
    </message>
    <message>
        <source>Circular</source>
        <translation>圆弧</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>回弹</translation>
    </message>
    <message>
        <source>Elastic</source>
        <translation>弹性</translation>
    </message>
    <message>
        <source>Bounce</source>
        <translation>弹跳</translation>
    </message>
    <message>
        <source>Easing Type</source>
        <translation>缓动类型</translation>
    </message>
</context>
<context>
    <name>PopupMediaTypeSelectionWidget</name>
    <message>
        <source>Choose File...</source>
        <translation>选择文件…</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>Self-Draw</source>
        <translation>手绘</translation>
    </message>
</context>
<context>
    <name>PopupMicrophoneWidget</name>
    <message>
        <source>No microphone</source>
        <translation>没有麦克风</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Error Occurs</source>
        <translation>发生错误</translation>
    </message>
</context>
<context>
    <name>PopupMovieExportingWidget</name>
    <message>
        <source>SD - 360P</source>
        <translation>标清 - 360P</translation>
    </message>
    <message>
        <source>SD - 540P</source>
        <translation>标清 - 540P</translation>
    </message>
    <message>
        <source>HD - 720P</source>
        <translation>高清 - 720P</translation>
    </message>
    <message>
        <source>Full HD - 1080P</source>
        <translation>全高清 - 1080P</translation>
    </message>
    <message>
        <source>Ultra HD - 4K</source>
        <translation>超高清 - 4K</translation>
    </message>
    <message>
        <source>Export &amp; Share</source>
        <translation>导出与分享</translation>
    </message>
    <message>
        <source>Select save directory</source>
        <translation>选择保存文件夹</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>分辨率</translation>
    </message>
    <message>
        <source>360P</source>
        <translation>360P</translation>
    </message>
    <message>
        <source>540P</source>
        <translation>540P</translation>
    </message>
    <message>
        <source>720P</source>
        <translation>720P</translation>
    </message>
    <message>
        <source>1080P</source>
        <translation>1080P</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation>帧率</translation>
    </message>
    <message>
        <source>Video Codec</source>
        <translation>视频编码</translation>
    </message>
    <message>
        <source>Share to</source>
        <translation>分享到</translation>
    </message>
    <message>
        <source>Save to Camera Roll</source>
        <translation>保存到相册</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>电子邮件</translation>
    </message>
    <message>
        <source>Youtube</source>
        <translation>Youtube</translation>
    </message>
    <message>
        <source>Facebook</source>
        <translation>Facebook</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Exporting movie...</source>
        <translation>正在导出影片…</translation>
    </message>
    <message>
        <source>Please do not exit Tavo REN or lock the computer.</source>
        <translation>请不要退出 Tavo REN 或锁定电脑。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Current movie has been exported successfully</source>
        <translation>当前影片已成功导出</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>详细信息</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>时长</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>The export named no movie file.</source>
        <translation>导出没有指定影片文件。</translation>
    </message>
    <message>
        <source>The movie file %1 is missing or empty.</source>
        <translation>影片文件 %1 不存在或为空。</translation>
    </message>
    <message>
        <source>%1 bytes (%2)</source>
        <translation>%1 字节（%2）</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>PopupProjectSettingsWidget</name>
    <message>
        <source>Landscape</source>
        <translation>横屏</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>竖屏</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Frames Per Second</source>
        <translation>每秒帧数</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>影片设置</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>宽高比</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Background Color</source>
        <translation>背景颜色</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>透明</translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation>帧率</translation>
    </message>
    <message>
        <source>Showcase</source>
        <translation>展示</translation>
    </message>
    <message>
        <source>Fixed Cover Image</source>
        <translation>固定封面</translation>
    </message>
    <message>
        <source>Display fixed cover image in Movies page</source>
        <translation>在影片页面显示固定封面</translation>
    </message>
</context>
<context>
    <name>PopupTransitionsListWidget</name>
    <message>
        <source>Add Transition</source>
        <translation>添加转场</translation>
    </message>
</context>
<context>
    <name>ProjectFoldersPopup</name>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>拷贝</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>影片</translation>
    </message>
    <message>
        <source>Move to %1</source>
        <translation>移动到 %1</translation>
    </message>
    <message>
        <source>Copy to %1</source>
        <translation>拷贝到 %1</translation>
    </message>
    <message>
        <source>Enter folder name</source>
        <translation>输入文件夹名称</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>Rename Failed</source>
        <translation>重命名失败</translation>
    </message>
    <message>
        <source>An item with the name &quot;%1&quot; already exists</source>
        <translation>名称“%1”已被使用</translation>
    </message>
    <message>
        <source>New Folder Failed</source>
        <translation>新建文件夹失败</translation>
    </message>
    <message>
        <source>Create new folder exception occurs</source>
        <translation>新建文件夹时发生异常</translation>
    </message>
</context>
<context>
    <name>ProjectManager</name>
    <message>
        <source>the project folder cannot be made</source>
        <translation>无法创建项目文件夹</translation>
    </message>
</context>
<context>
    <name>ProjectsListWidget</name>
    <message>
        <source>There is no folder to keep your movies in. Choose a working folder in the settings.</source>
        <translation>没有用于保存影片的文件夹。请在设置中选择工作文件夹。</translation>
    </message>
    <message>
        <source>(Empty)</source>
        <translation>（空）</translation>
    </message>
    <message>
        <source>(1 Item)</source>
        <translation>（1 项）</translation>
    </message>
    <message>
        <source>(%1 Items)</source>
        <translation>（%1 项）</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Delete current movie project</source>
        <translation>删除当前影片项目</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Rename current movie project</source>
        <translation>重命名当前影片项目</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Duplicate current movie project</source>
        <translation>复制当前影片项目</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>打包</translation>
    </message>
    <message>
        <source>Archive current movie project</source>
        <translation>打包当前影片项目</translation>
    </message>
    <message>
        <source>Archive Project Failed</source>
        <translation>打包项目失败</translation>
    </message>
    <message>
        <source>Select an output directory</source>
        <translation>选择输出文件夹</translation>
    </message>
    <message>
        <source>Select an archive to import</source>
        <translation>选择要导入的项目包</translation>
    </message>
    <message>
        <source>Tavo REN Project File (*.tavorenproject)</source>
        <translation>Tavo REN 项目文件 (*.tavorenproject)</translation>
    </message>
    <message>
        <source>Insufficient Space</source>
        <translation>空间不足</translation>
    </message>
    <message>
        <source>There&apos;s not enough storage space to import this archive. About %1 more space is needed.</source>
        <translation>存储空间不足，无法导入此项目包。还需要约 %1 的空间。</translation>
    </message>
    <message>
        <source>There&apos;s not enough storage space to archive this project. About %1 more space is needed.</source>
        <translation>存储空间不足，无法打包此项目。还需要约 %1 的空间。</translation>
    </message>
    <message>
        <source>Import Failed</source>
        <translation>导入失败</translation>
    </message>
    <message>
        <source>Import archive error occurs (%1)</source>
        <translation>导入项目包时出错（%1）</translation>
    </message>
    <message>
        <source>Archive project error occurs (%1)</source>
        <translation>打包项目时出错（%1）</translation>
    </message>
    <message>
        <source>Archiving project...</source>
        <translation>正在打包项目…</translation>
    </message>
    <message>
        <source>Archive Project Completed</source>
        <translation>项目打包完成</translation>
    </message>
    <message>
        <source>Importing archive...</source>
        <translation>正在导入项目包…</translation>
    </message>
    <message>
        <source>Import Completed</source>
        <translation>导入完成</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; holds the movie open in the editor. Close the movie first.</source>
        <translation>文件夹“%1”中有在编辑器中打开的影片。请先关闭该影片。</translation>
    </message>
    <message>
        <source>The movie &quot;%1&quot; is open in the editor. Close it first.</source>
        <translation>影片“%1”已在编辑器中打开。请先关闭它。</translation>
    </message>
    <message>
        <source>New Movie</source>
        <translation>新建影片</translation>
    </message>
    <message>
        <source>%1 Copy</source>
        <translation>%1 副本</translation>
    </message>
    <message>
        <source>%1 Copy %2</source>
        <translation>%1 副本 %2</translation>
    </message>
    <message>
        <source>Failed to create movie file</source>
        <translation>创建影片文件失败</translation>
    </message>
    <message>
        <source>Enter project name</source>
        <translation>输入项目名称</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>Wrong Name</source>
        <translation>名称无效</translation>
    </message>
    <message>
        <source>The named movie already exists</source>
        <translation>同名影片已存在</translation>
    </message>
    <message>
        <source>New Folder Failed</source>
        <translation>新建文件夹失败</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Enter folder name</source>
        <translation>输入文件夹名称</translation>
    </message>
    <message>
        <source>Rename Failed</source>
        <translation>重命名失败</translation>
    </message>
    <message>
        <source>An item with the name &quot;%1&quot; already exists</source>
        <translation>名称“%1”已被使用</translation>
    </message>
    <message>
        <source>Create new folder exception occurs</source>
        <translation>新建文件夹时发生异常</translation>
    </message>
    <message>
        <source>Rename Item</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Enter item name</source>
        <translation>输入名称</translation>
    </message>
    <message>
        <source>Rename failed</source>
        <translation>重命名失败</translation>
    </message>
    <message>
        <source>Failed to duplicate movie</source>
        <translation>复制影片失败</translation>
    </message>
    <message>
        <source>Duplicate Movie</source>
        <translation>复制影片</translation>
    </message>
    <message>
        <source>Enter movie name</source>
        <translation>输入影片名称</translation>
    </message>
    <message>
        <source>Remove Item(s)</source>
        <translation>删除所选项</translation>
    </message>
    <message>
        <source>Remove Item</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Do you really want to remove %1 item(s)?</source>
        <translation>确定要删除这 %1 项吗？</translation>
    </message>
    <message>
        <source>Do you really want to remove item &quot;%1&quot;?</source>
        <translation>确定要删除“%1”吗？</translation>
    </message>
    <message>
        <source>Failed to remove the item(s)</source>
        <translation>删除失败</translation>
    </message>
    <message>
        <source>Failed to move movie</source>
        <translation>移动影片失败</translation>
    </message>
    <message>
        <source>Move Failed</source>
        <translation>移动失败</translation>
    </message>
    <message>
        <source>Copying items...</source>
        <translation>正在拷贝…</translation>
    </message>
    <message>
        <source>Moving items...</source>
        <translation>正在移动…</translation>
    </message>
    <message>
        <source>%1 item(s) copied</source>
        <translation>已拷贝 %1 项</translation>
    </message>
    <message>
        <source>%1 item(s) moved</source>
        <translation>已移动 %1 项</translation>
    </message>
</context>
<context>
    <name>ProjectsWidget</name>
    <message>
        <source>Movies</source>
        <translation>影片</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Import project</source>
        <translation>导入项目</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>导入…</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Copy selected items to folder</source>
        <translation>将所选项拷贝到文件夹</translation>
    </message>
    <message>
        <source>Move selected items to folder</source>
        <translation>将所选项移动到文件夹</translation>
    </message>
    <message>
        <source>Delete selected items</source>
        <translation>删除所选项</translation>
    </message>
    <message>
        <source>Import Project</source>
        <translation>导入项目</translation>
    </message>
    <message>
        <source>Do you want to import project &quot;%1&quot; into Tavo REN?</source>
        <translation>要将项目“%1”导入 Tavo REN 吗？</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Open Movie Failed</source>
        <translation>打开影片失败</translation>
    </message>
    <message>
        <source>This movie is damaged, you cannot open it.</source>
        <translation>此影片已损坏，无法打开。</translation>
    </message>
    <message>
        <source>Open Failed</source>
        <translation>打开失败</translation>
    </message>
    <message>
        <source>This project cannot be opened at this time.</source>
        <translation>目前无法打开此项目。</translation>
    </message>
    <message>
        <source>Failed to open project file</source>
        <translation>打开项目文件失败</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>QGnomeTheme</name>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
</context>
<context>
    <name>QNativeWebView</name>
    <message>
        <source>Cannot initialize webview
Install Qt WebEngine (the package libqt5webenginewidgets5) and start the program again.</source>
        <translation>无法初始化网页视图
请安装 Qt WebEngine（软件包 libqt5webenginewidgets5）后重新启动程序。</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>RoundCornerEditingWidgetController</name>
    <message>
        <source>Round Corner</source>
        <translation>圆角</translation>
    </message>
</context>
<context>
    <name>SegmentDraggingOperationWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>SegmentInspectorWidget</name>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>拆分</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Add/Edit Transition</source>
        <translation>添加/编辑转场</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>SegmentOperationDoubleTapTipWidget</name>
    <message>
        <source>Got it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>Double click a segment to enter into the edit mode. And double click it again to exit from the edit mode.</source>
        <translation>双击片段进入编辑模式，再次双击退出编辑模式。</translation>
    </message>
</context>
<context>
    <name>SegmentOperationPressAndDragTipWidget</name>
    <message>
        <source>Got it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>Press and hold on a segment till the yellow frame appears, then you can drag it to the place you want.</source>
        <translation>按住片段直到出现黄色边框，然后即可将其拖到想要的位置。</translation>
    </message>
</context>
<context>
    <name>SelectionOperationWidget</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Cancel selection</source>
        <translation>取消选择</translation>
    </message>
    <message>
        <source>Insert blank</source>
        <translation>插入空白</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>SettingsWidget</name>
    <message>
        <source>Video Editor UI Layout</source>
        <translation>编辑器界面布局</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>桌面</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>经典</translation>
    </message>
    <message>
        <source>Default Photo Duration</source>
        <translation>图片默认时长</translation>
    </message>
    <message>
        <source>Default Text Duration</source>
        <translation>文字默认时长</translation>
    </message>
    <message>
        <source>Default Self-Drawing Duration</source>
        <translation>手绘默认时长</translation>
    </message>
    <message>
        <source>Auto Save/Apply Segment Properties</source>
        <translation>自动保存/应用片段属性</translation>
    </message>
    <message>
        <source>Save segment properties and apply to the newly added segments</source>
        <translation>保存片段属性并应用到新添加的片段</translation>
    </message>
    <message>
        <source>Reset Saved Segment Properties</source>
        <translation>重置已保存的片段属性</translation>
    </message>
    <message>
        <source>Auto Align When Moving Objects</source>
        <translation>移动对象时自动对齐</translation>
    </message>
    <message>
        <source>Show guides when moving object to center/edges</source>
        <translation>将对象移到中心或边缘时显示参考线</translation>
    </message>
    <message>
        <source>Hardware Acceleration</source>
        <translation>硬件加速</translation>
    </message>
    <message>
        <source>Enabled: high performance, loss compatibility</source>
        <translation>开启：性能更高，兼容性较差</translation>
    </message>
    <message>
        <source>Working Directory</source>
        <translation>工作文件夹</translation>
    </message>
    <message>
        <source>Auto Copy Files to Movie Directory</source>
        <translation>自动复制文件到影片文件夹</translation>
    </message>
    <message>
        <source>Copy files to project directory when adding media to a movie</source>
        <translation>向影片添加媒体时将文件复制到项目文件夹</translation>
    </message>
    <message>
        <source>Disabled: better compatibility, loss performance</source>
        <translation>关闭：兼容性更好，性能较低</translation>
    </message>
    <message>
        <source>Do you really want to reset the saved segment properties?</source>
        <translation>确定要重置已保存的片段属性吗？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <source>Segment properties reset successfully</source>
        <translation>片段属性已重置</translation>
    </message>
    <message>
        <source>A movie is open in the editor. Close it before changing the working directory.</source>
        <translation>编辑器中有打开的影片。请先关闭它，再更改工作文件夹。</translation>
    </message>
    <message>
        <source>Select working directory</source>
        <translation>选择工作文件夹</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>ShadowEditingWidgetController</name>
    <message>
        <source>Shadow</source>
        <translation>阴影</translation>
    </message>
    <message>
        <source>Radius</source>
        <translation>半径</translation>
    </message>
</context>
<context>
    <name>SpeedEditingWidgetController</name>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
</context>
<context>
    <name>StartWindow</name>
    <message>
        <source>Movies</source>
        <translation>影片</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>Tavo REN</translation>
    </message>
    <message>
        <source>New Movie...</source>
        <translation>新建影片…</translation>
    </message>
    <message>
        <source>New Folder...</source>
        <translation>新建文件夹…</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>导入…</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Tavo REN Help</source>
        <translation>Tavo REN 帮助</translation>
    </message>
    <message>
        <source>Get Tavo REN on Smartphones</source>
        <translation>获取手机版 Tavo REN</translation>
    </message>
    <message>
        <source>Feedback...</source>
        <translation>反馈…</translation>
    </message>
    <message>
        <source>About Tavo REN</source>
        <translation>关于 Tavo REN</translation>
    </message>
    <message>
        <source>Help Center</source>
        <translation>帮助中心</translation>
    </message>
</context>
<context>
    <name>StrokeBorderEditingWidgetController</name>
    <message>
        <source>Border Size &amp; Color</source>
        <translation>边框大小和颜色</translation>
    </message>
    <message>
        <source>Tolerance</source>
        <translation>容差</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>强度</translation>
    </message>
    <message>
        <source>Stroke</source>
        <translation>描边</translation>
    </message>
</context>
<context>
    <name>TabsMediaExplorerWidget</name>
    <message>
        <source>Local Files</source>
        <translation>本地文件</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>Sound FX</source>
        <translation>音效</translation>
    </message>
    <message>
        <source>Stickers</source>
        <translation>贴纸</translation>
    </message>
    <message>
        <source>GIPHY</source>
        <translation>GIPHY</translation>
    </message>
</context>
<context>
    <name>TestMainWindow</name>
    <message>
        <source>Open Video</source>
        <translation>打开视频</translation>
    </message>
    <message>
        <source>Open Music</source>
        <translation>打开音乐</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>打开图片</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Export Failed (code=%1)</source>
        <translation>导出失败（代码=%1）</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Export Finished</source>
        <translation>导出完成</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>打开项目</translation>
    </message>
    <message>
        <source>Open Project Failed</source>
        <translation>打开项目失败</translation>
    </message>
    <message>
        <source>Open properties error occurs (%1)</source>
        <translation>打开项目属性时出错（%1）</translation>
    </message>
    <message>
        <source>Open Completed</source>
        <translation>打开完成</translation>
    </message>
    <message>
        <source>Open project error occurs (%1)</source>
        <translation>打开项目时出错（%1）</translation>
    </message>
    <message>
        <source>Open Archive</source>
        <translation>打开项目包</translation>
    </message>
    <message>
        <source>Import Failed</source>
        <translation>导入失败</translation>
    </message>
    <message>
        <source>Import project error occurs (%1)</source>
        <translation>导入项目时出错（%1）</translation>
    </message>
    <message>
        <source>Import Completed</source>
        <translation>导入完成</translation>
    </message>
</context>
<context>
    <name>TextAlignmentEditingWidget</name>
    <message>
        <source>Left</source>
        <translation>左对齐</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>居中</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右对齐</translation>
    </message>
</context>
<context>
    <name>TextBackEditingWidgetController</name>
    <message>
        <source>Text Background</source>
        <translation>文字背景</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>间距</translation>
    </message>
    <message>
        <source>Round Corner</source>
        <translation>圆角</translation>
    </message>
</context>
<context>
    <name>TextSizeEditingWidgetController</name>
    <message>
        <source>Text Size &amp; Color</source>
        <translation>文字大小和颜色</translation>
    </message>
</context>
<context>
    <name>TextureGridWidget</name>
    <message>
        <source>Custom Picture...</source>
        <translation>自定义图片…</translation>
    </message>
    <message>
        <source>Open a Picture</source>
        <translation>打开图片</translation>
    </message>
</context>
<context>
    <name>TransitionsEditingWidget</name>
    <message>
        <source>Transitions</source>
        <translation>转场</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>时长</translation>
    </message>
    <message>
        <source>Add Transition</source>
        <translation>添加转场</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Easing type</source>
        <translation>缓动类型</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>Press &quot;+&quot; to add a transition</source>
        <translation>按“+”添加转场</translation>
    </message>
</context>
<context>
    <name>TransparencyEditingWidgetController</name>
    <message>
        <source>Transparency</source>
        <translation>透明度</translation>
    </message>
</context>
<context>
    <name>Util</name>
    <message>
        <source>Today</source>
        <translation>今天</translation>
    </message>
    <message>
        <source>%L1 bytes</source>
        <translation>%L1 字节</translation>
    </message>
    <message>
        <source>All music files (*.mp3 *.wav *.m4a *.mid *.wma *.vqf *.ra)</source>
        <translation>所有音乐文件 (*.mp3 *.wav *.m4a *.mid *.wma *.vqf *.ra)</translation>
    </message>
    <message>
        <source>All picture files (*.png *.gif *.jpg *.jpeg *.bmp *.dib *.pbm *.pgm *.ppm *.xbm *.xpm *.svg *.tiff *.tif *.webp *.heic)</source>
        <translation>所有图片文件 (*.png *.gif *.jpg *.jpeg *.bmp *.dib *.pbm *.pgm *.ppm *.xbm *.xpm *.svg *.tiff *.tif *.webp *.heic)</translation>
    </message>
    <message>
        <source>All video files (*.mp4 *.mov *.m4v *.avi *.wmv *.asf *.mkv *.3gp *.mpg *.mpeg *.dat *.m2v *.vob *.rm *.rmvb *.webm)</source>
        <translation>所有视频文件 (*.mp4 *.mov *.m4v *.avi *.wmv *.asf *.mkv *.3gp *.mpg *.mpeg *.dat *.m2v *.vob *.rm *.rmvb *.webm)</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>关于 %1</translation>
    </message>
    <message>
        <source>Unknown codec</source>
        <translation>未知编码</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>立体声</translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation>%1 声道</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>单声道</translation>
    </message>
</context>
<context>
    <name>VideoUtilitiesEditingWidget</name>
    <message>
        <source>Video Utilities</source>
        <translation>视频工具</translation>
    </message>
    <message>
        <source>Grab image from video</source>
        <translation>从视频截取画面</translation>
    </message>
</context>
<context>
    <name>VolumeEditingWidgetController</name>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
</context>
</TS>
