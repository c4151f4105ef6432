#pragma once
// Control IDs of the 消火栓系统计算 dialog (the DIALOGEX resource IDD_SYSTEM_FORM in
// app/hydrant-calc.rc.in), named once for the resource, the Win32 adapter and the Wine test.
// Plain macros: the resource compiler reads this header too. Labels and group boxes carry
// -1; every entry, check box, button and list has its own ID:
//   3001-3039  the entries and check boxes, one per key of the project file, in the order of
//              ui/system_form.cpp's field table (which is also the tab order of each column)
//   3101-3104  计 算, 打开…, 保存…, 生成计算书…; 关闭 is IDCANCEL (2), which Esc also sends
//   3110-3112  the result line, the floor grid and the check list (ListViews in report mode)

#define IDD_SYSTEM_FORM 300

// clang-format off
#define IDC_SYS_PROJECT_NAME                     3001  // project.name: 工程名称
#define IDC_SYS_PROJECT_NUMBER                   3002  // project.number: 工程编号
#define IDC_SYS_PROJECT_DESIGNER                 3003  // project.designer: 设计人
#define IDC_SYS_HYDRANT_NOZZLE                   3004  // hydrant.nozzle: 水枪喷嘴口径(mm)
#define IDC_SYS_HYDRANT_HOSE_MATERIAL            3005  // hydrant.hose_material: 水龙带材料
#define IDC_SYS_HYDRANT_HOSE_DIAMETER            3006  // hydrant.hose_diameter: 水龙带直径(mm)
#define IDC_SYS_HYDRANT_HOSE_LENGTH              3007  // hydrant.hose_length: 水龙带长度(m)
#define IDC_SYS_HYDRANT_WATER_COLUMN             3008  // hydrant.water_column: 充实水柱长度(m)
#define IDC_SYS_HYDRANT_OCCUPANCY                3009  // hydrant.occupancy: 场所类别
#define IDC_SYS_HYDRANT_MIN_FLOW                 3010  // hydrant.min_flow: 每支水枪流量(L/s)
#define IDC_SYS_BUILDING_FLOORS                  3011  // building.floors: 消火栓层数
#define IDC_SYS_BUILDING_FLOOR_HEIGHTS           3012  // building.floor_heights: 层高(m)
#define IDC_SYS_BUILDING_FIRST_OUTLET_ELEVATION  3013  // building.first_outlet_elevation: 首层栓口标高(m)
#define IDC_SYS_SYSTEM_DESIGN_FLOW               3014  // system.design_flow: 设计流量(L/s)
#define IDC_SYS_SYSTEM_RISER_MIN_FLOW            3015  // system.riser_min_flow: 竖管最小流量(L/s)
#define IDC_SYS_SUPPLY_POOL_LEVEL                3016  // supply.pool_level: 水池最低水位(m)
#define IDC_SYS_SUPPLY_POOL_MAX_LEVEL            3017  // supply.pool_max_level: 水池最高水位(m)
#define IDC_SYS_PUMP_ELEVATION                   3018  // pump.elevation: 水泵中心标高(m)
#define IDC_SYS_PUMP_RATED_HEAD                  3019  // pump.rated_head: 选用扬程(m)
#define IDC_SYS_PUMP_SHUTOFF_RATIO               3020  // pump.shutoff_ratio: 零流量扬程比
#define IDC_SYS_TANK                             3021  // tank: 设高位消防水箱
#define IDC_SYS_TANK_LOWEST_LEVEL                3022  // tank.lowest_level: 最低有效水位(m)
#define IDC_SYS_TANK_HIGHEST_LEVEL               3023  // tank.highest_level: 最高水位(m)
#define IDC_SYS_TANK_MIN_STATIC                  3024  // tank.min_static: 最不利点静压(MPa)
#define IDC_SYS_STABILIZER                       3025  // stabilizer: 设稳压泵
#define IDC_SYS_STABILIZER_STOP_PRESSURE         3026  // stabilizer.stop_pressure: 停泵压力(MPa)
#define IDC_SYS_STABILIZER_ELEVATION             3027  // stabilizer.elevation: 出口标高(m)
#define IDC_SYS_DESIGN_LOCAL_LOSS                3028  // design.local_loss: 局部损失比例
#define IDC_SYS_DESIGN_K2                        3029  // design.k2: 安全系数k2
#define IDC_SYS_DESIGN_BRANCH_INNER_DIAMETER     3030  // design.branch_inner_diameter: 支管内径(mm)
#define IDC_SYS_DESIGN_TARGET_PRESSURE           3031  // design.target_pressure: 减压目标(MPa)
#define IDC_SYS_RISER_DN                         3032  // riser.dn: 管径DN
#define IDC_SYS_RISER_INNER_DIAMETER             3033  // riser.inner_diameter: 内径(mm)
#define IDC_SYS_RISER_C                          3034  // riser.c: 海澄威廉系数C
#define IDC_SYS_RISER_BASE_ELEVATION             3035  // riser.base_elevation: 立管底标高(m)
#define IDC_SYS_MAIN_LENGTH                      3036  // main.length: 长度(m)
#define IDC_SYS_MAIN_DN                          3037  // main.dn: 管径DN
#define IDC_SYS_MAIN_INNER_DIAMETER              3038  // main.inner_diameter: 内径(mm)
#define IDC_SYS_MAIN_C                           3039  // main.c: 海澄威廉系数C

#define IDC_SYS_CALCULATE                        3101  // 计 算, the default button: Enter
#define IDC_SYS_OPEN                             3102  // 打开…
#define IDC_SYS_SAVE                             3103  // 保存…
#define IDC_SYS_SHEET                            3104  // 生成计算书…
#define IDC_SYS_SUMMARY                          3110  // the result line
#define IDC_SYS_FLOORS                           3111  // the floor grid, top floor first
#define IDC_SYS_CHECKS                           3112  // the check list: 条文, 结论, 说明
// clang-format on
